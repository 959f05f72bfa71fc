# Decoder speed against libpng and giflib (baselines only; the decoders do not use them).
find_package(PNG REQUIRED)
find_package(GIF REQUIRED)
zeltrix_benchmark(bench_decoders ${CMAKE_CURRENT_SOURCE_DIR}/bench_decoders.cpp)
target_link_libraries(bench_decoders PRIVATE PNG::PNG GIF::GIF)
