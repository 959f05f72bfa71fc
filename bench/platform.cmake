# Colour-keyed surface copies against Qt's own alpha-blended image drawing.
find_package(benchmark REQUIRED)
add_executable(bench_platform ${CMAKE_CURRENT_SOURCE_DIR}/bench_platform.cpp)
target_link_libraries(bench_platform PRIVATE zeltrix_model benchmark::benchmark)
