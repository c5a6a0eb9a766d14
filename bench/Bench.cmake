# The benchmark: always optimised. kestrovar_bench runs the real back end (SDL's offscreen driver) and asks its
# headless twin for the figures that need the virtual machine.
set(KESTROVAR_BENCH_FLAGS -O2)
add_executable(kestrovar_bench_headless ${CMAKE_CURRENT_LIST_DIR}/HeadlessBench.cpp)
target_link_libraries(kestrovar_bench_headless PRIVATE kestrovar_replay_engine kestrovar_game kestrovar_backend_headless
  kestrovar_warnings)
target_compile_definitions(kestrovar_bench_headless PRIVATE
  KESTROVAR_REPLAY_SCRIPT="${PROJECT_SOURCE_DIR}/tests/replay/FirstGame.txt")
target_compile_options(kestrovar_bench_headless PRIVATE ${KESTROVAR_BENCH_FLAGS})

if(TARGET kestrovar_backend_sdl)
  add_executable(kestrovar_bench ${CMAKE_CURRENT_LIST_DIR}/BenchMain.cpp ${CMAKE_CURRENT_LIST_DIR}/NeonFrameBench.cpp)
  target_link_libraries(kestrovar_bench PRIVATE kestrovar_game kestrovar_backend_sdl kestrovar_warnings
    PkgConfig::EPOXY)
  target_compile_options(kestrovar_bench PRIVATE ${KESTROVAR_BENCH_FLAGS})
  add_dependencies(kestrovar_bench kestrovar_bench_headless kestrovar_bench_bare_window)
  # Start-up's yardstick: a bare SDL window with a GL context to its first frame.
  add_executable(kestrovar_bench_bare_window ${CMAKE_CURRENT_LIST_DIR}/BareWindow.cpp)
  target_link_libraries(kestrovar_bench_bare_window PRIVATE PkgConfig::SDL2 PkgConfig::EPOXY kestrovar_warnings)
  target_compile_options(kestrovar_bench_bare_window PRIVATE ${KESTROVAR_BENCH_FLAGS})
endif()

# The network component's figures: a score server inside the process, the component beside the program as it is
# beside the game.
if(TARGET kestrovar_net)
  pkg_check_modules(NET_BENCH_HTTPLIB REQUIRED IMPORTED_TARGET cpp-httplib)
  find_package(Threads REQUIRED)
  add_executable(kestrovar_net_bench ${CMAKE_CURRENT_LIST_DIR}/NetBench.cpp)
  target_include_directories(kestrovar_net_bench PRIVATE ${PROJECT_SOURCE_DIR}/tests/net)
  target_link_libraries(kestrovar_net_bench PRIVATE kestrovar_game kestrovar_backend_headless kestrovar_warnings
    PkgConfig::NET_BENCH_HTTPLIB Threads::Threads)
  target_compile_options(kestrovar_net_bench PRIVATE ${KESTROVAR_BENCH_FLAGS})
  set_target_properties(kestrovar_net_bench PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${PROJECT_BINARY_DIR})
  add_dependencies(kestrovar_net_bench kestrovar_net)
endif()
