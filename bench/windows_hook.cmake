# scripts/bench.sh passes this as CMAKE_PROJECT_PrinterDefaults_INCLUDE for its Windows build:
# the Windows build does not add bench/ by itself, so the benchmark programs are defined once the
# whole tree has been read (pd_win32 exists by then).
if(WIN32)
  set(PD_BENCH_WINDOWS_CMAKE ${CMAKE_CURRENT_LIST_DIR}/windows.cmake)
  cmake_language(DEFER DIRECTORY ${CMAKE_SOURCE_DIR} CALL include ${PD_BENCH_WINDOWS_CMAKE})
endif()
