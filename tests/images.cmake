# The decoder tests compare with libpng and giflib, which only tests and benchmarks use.
find_package(PNG REQUIRED)
find_package(GIF REQUIRED)
target_link_libraries(tests_images PRIVATE PNG::PNG GIF::GIF)
