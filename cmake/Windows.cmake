# Windows build settings, for the exe users get and the Windows tests.
enable_language(RC)

if(MINGW)
  # No MinGW runtime DLL beside the exe: everything it imports ships with Windows.
  add_link_options(-static -static-libgcc -static-libstdc++)
  # A small download: drop unused code and symbols from release builds.
  add_compile_options($<$<CONFIG:Release,MinSizeRel>:-ffunction-sections>
                      $<$<CONFIG:Release,MinSizeRel>:-fdata-sections>)
  add_link_options($<$<CONFIG:Release,MinSizeRel>:-s> $<$<CONFIG:Release,MinSizeRel>:-Wl,--gc-sections>)
  # The exe runs elevated: ASLR (with its relocations), DEP, terminal-server aware, as Microsoft's
  # linker sets by default; a stack protector, its runtime linked in (-static above).
  add_compile_options(-fstack-protector-strong)
  add_link_options(-fstack-protector-strong -Wl,--dynamicbase -Wl,--nxcompat -Wl,--tsaware)
  if(CMAKE_SIZEOF_VOID_P EQUAL 8)
    add_link_options(-Wl,--high-entropy-va)
  endif()
  # Windows Vista's version in the PE header, as Microsoft's linker writes, not MinGW's 4.0 (5.2 for
  # x86-64): Windows treats older 32-bit exes as legacy, e.g. lets them run on after heap corruption.
  add_link_options(-Wl,--major-subsystem-version,6 -Wl,--minor-subsystem-version,0
                   -Wl,--major-os-version,6 -Wl,--minor-os-version,0)
  # The same commit gives the same bytes, so that anyone can rebuild the exe and compare: no
  # link time in the PE header, no build path in the code.
  add_link_options(-Wl,--no-insert-timestamp)
  add_compile_options(-ffile-prefix-map=${CMAKE_SOURCE_DIR}/=
                      -ffile-prefix-map=${CMAKE_BINARY_DIR}/=)
endif()
if(MSVC)
  # Nothing beside the exe: the C runtime is linked in.
  set(CMAKE_MSVC_RUNTIME_LIBRARY "MultiThreaded$<$<CONFIG:Debug>:Debug>")
endif()
