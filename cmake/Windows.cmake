# Windows build: the real window layer and spooler, the exe users get, and the Windows tests.
enable_language(RC)

add_library(pd_win32 STATIC
    ${PD_LOGIC_SOURCES}
    ui/win32/application_win32.cpp
    ui/win32/controls_win32.cpp
    ui/win32/form_win32.cpp
    ui/win32/text_win32.cpp
    printing/win32/spooler_library.cpp
    printing/win32/win_spooler.cpp)
target_include_directories(pd_win32 PUBLIC ${PROJECT_SOURCE_DIR})
target_compile_definitions(pd_win32 PUBLIC UNICODE _UNICODE WIN32_LEAN_AND_MEAN
                                           _WIN32_WINNT=0x0A00 WINVER=0x0A00)
# No winspool: the spooler is loaded at run time from System32 (printing/win32/spooler_library.h).
target_link_libraries(pd_win32 PUBLIC comctl32 gdi32 user32 kernel32)
pd_warnings(pd_win32)

if(MINGW)
  # No MinGW runtime DLL beside the exe: everything it imports ships with Windows.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # A small download: drop unused code and symbols from release builds.
  target_compile_options(pd_win32 PRIVATE $<$<CONFIG:Release,MinSizeRel>:-ffunction-sections
                                          -fdata-sections>)
  add_link_options($<$<CONFIG:Release,MinSizeRel>:-s> $<$<CONFIG:Release,MinSizeRel>:-Wl,--gc-sections>)
endif()

add_executable(PrinterDefaults WIN32 app/main.cpp app/dll_search.cpp app/terminate_handler.cpp
                                     res/app.rc)
set_property(SOURCE res/app.rc APPEND PROPERTY OBJECT_DEPENDS
             ${PROJECT_SOURCE_DIR}/res/app.ico ${PROJECT_SOURCE_DIR}/res/app.manifest)
target_link_libraries(PrinterDefaults PRIVATE pd_win32)
pd_warnings(PrinterDefaults)
if(MSVC)
  target_link_options(PrinterDefaults PRIVATE /MANIFEST:NO)
  set_property(TARGET PrinterDefaults pd_win32 PROPERTY
               MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
endif()

if(BUILD_TESTING AND EXISTS ${PROJECT_SOURCE_DIR}/tests/wine/CMakeLists.txt)
  add_subdirectory(tests/wine)
endif()

if(EXISTS ${PROJECT_SOURCE_DIR}/bench/windows.cmake)
  include(${PROJECT_SOURCE_DIR}/bench/windows.cmake)
endif()
