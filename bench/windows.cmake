# The Windows benchmark programs, included by the Windows builds.
if(TARGET pd_bench_win)
  return()
endif()
set(pd_bench_dir ${CMAKE_CURRENT_LIST_DIR})
add_executable(pd_bench_win ${pd_bench_dir}/win/bench_main.cpp
                            ${pd_bench_dir}/win/bench_printers.cpp
                            ${pd_bench_dir}/win/refresh_bench.cpp
                            ${pd_bench_dir}/win/launch_bench.cpp)
target_link_libraries(pd_bench_win PRIVATE pd_win32 winspool)
pd_warnings(pd_bench_win)
# The start-up floor: a bare Win32 program that shows one empty window.
add_executable(pd_floor_window WIN32 ${pd_bench_dir}/win/floor_window.cpp)
target_compile_definitions(pd_floor_window PRIVATE UNICODE _UNICODE)
pd_warnings(pd_floor_window)
# The same with the common controls and the spooler loaded and used as the tool must.
add_executable(pd_floor_spooler WIN32 ${pd_bench_dir}/win/floor_window.cpp)
target_compile_definitions(pd_floor_spooler PRIVATE UNICODE _UNICODE PD_FLOOR_WITH_SPOOLER)
target_link_libraries(pd_floor_spooler PRIVATE winspool comctl32)
pd_warnings(pd_floor_spooler)
