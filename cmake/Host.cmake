# Host build: the logic on the headless window layer, with the simulated spooler and unit tests.
option(PD_SANITIZE "Build with AddressSanitizer and UndefinedBehaviorSanitizer" ON)
if(PD_SANITIZE)
  add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                      -fno-omit-frame-pointer)
  add_link_options(-fsanitize=address,undefined)
endif()

add_library(pd_host STATIC ${PD_LOGIC_SOURCES} ui/headless/vcl_headless.cpp
                           ui/headless/ansi_code_page.cpp)
target_include_directories(pd_host PUBLIC ${PROJECT_SOURCE_DIR})
pd_warnings(pd_host)

add_library(pd_sim STATIC tests/support/sim_spooler.cpp)
target_link_libraries(pd_sim PUBLIC pd_host)
pd_warnings(pd_sim)

if(BUILD_TESTING)
  add_subdirectory(tests/host)
endif()
if(EXISTS ${PROJECT_SOURCE_DIR}/bench/CMakeLists.txt)
  add_subdirectory(bench)
endif()
if(BUILD_TESTING AND EXISTS ${PROJECT_SOURCE_DIR}/tests/model/CMakeLists.txt)
  add_subdirectory(tests/model)
endif()
