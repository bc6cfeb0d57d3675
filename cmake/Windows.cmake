# Windows build settings, for the exe users get and the Windows tests.
enable_language(RC)

if(MINGW)
  # No MinGW runtime DLL beside the exe: everything it imports ships with Windows.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # A small download: drop unused code and symbols from release builds.
  add_compile_options($<$<CONFIG:Release,MinSizeRel>:-ffunction-sections>
                      $<$<CONFIG:Release,MinSizeRel>:-fdata-sections>)
  add_link_options($<$<CONFIG:Release,MinSizeRel>:-s> $<$<CONFIG:Release,MinSizeRel>:-Wl,--gc-sections>)
endif()
if(MSVC)
  # Nothing beside the exe: the C runtime is linked in.
  set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
endif()
