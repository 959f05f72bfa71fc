# Decoder speed against libpng and giflib (baselines only; the decoders do not use them).
find_package(benchmark REQUIRED)
find_package(PNG REQUIRED)
find_package(GIF REQUIRED)
add_executable(bench_decoders ${CMAKE_CURRENT_SOURCE_DIR}/bench_decoders.cpp)
target_link_libraries(bench_decoders PRIVATE zeltrix_model PNG::PNG GIF::GIF benchmark::benchmark)
