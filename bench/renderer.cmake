# The scene renderer's full canvas update against a fill plus plain copies of what it draws.
zeltrix_benchmark(bench_renderer ${CMAKE_CURRENT_SOURCE_DIR}/bench_renderer.cpp)
target_compile_definitions(bench_renderer PRIVATE ZELTRIX_SOURCE_DIR="${CMAKE_SOURCE_DIR}")
