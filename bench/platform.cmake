# Colour-keyed surface copies against Qt's own alpha-blended image drawing.
zeltrix_benchmark(bench_platform ${CMAKE_CURRENT_SOURCE_DIR}/bench_platform.cpp)
