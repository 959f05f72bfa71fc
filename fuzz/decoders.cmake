# Fuzz targets of the PNG/MNG and GIF decoders (clang's libFuzzer with ASan and UBSan).
# The decoder sources are compiled into each target with the sanitizers on.
if(CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
  set(ZELTRIX_FUZZ_FLAGS -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined)
  set(ZELTRIX_DECODER_SOURCES
    ${CMAKE_SOURCE_DIR}/src/images/image_animation.cpp
    ${CMAKE_SOURCE_DIR}/src/images/mng_animation.cpp
    ${CMAKE_SOURCE_DIR}/src/images/gif_animation.cpp)

  foreach(kind png gif)
    set(target fuzz_${kind})
    add_executable(${target} ${CMAKE_CURRENT_SOURCE_DIR}/fuzz_${kind}.cpp ${ZELTRIX_DECODER_SOURCES})
    target_include_directories(${target} PRIVATE ${CMAKE_SOURCE_DIR}/src)
    target_compile_options(${target} PRIVATE ${ZELTRIX_FUZZ_FLAGS})
    target_link_options(${target} PRIVATE ${ZELTRIX_FUZZ_FLAGS})
    target_link_libraries(${target} PRIVATE Qt6::Gui ZLIB::ZLIB)

    # A short run over the seed corpus; new inputs go to a scratch folder, not the committed seeds.
    set(scratch ${CMAKE_CURRENT_BINARY_DIR}/${target}_corpus)
    add_test(NAME ${target}_short
             COMMAND sh -c "rm -rf '${scratch}' && mkdir -p '${scratch}' && exec '$<TARGET_FILE:${target}>' -max_total_time=30 -timeout=10 -rss_limit_mb=2048 '${scratch}' '${CMAKE_CURRENT_SOURCE_DIR}/corpus/${kind}'")
    set_tests_properties(${target}_short PROPERTIES TIMEOUT 120)
    # Inputs that once crashed a decoder must now load or fail cleanly.
    file(GLOB crashers ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${kind}/crashers/*)
    if(crashers)
      add_test(NAME ${target}_crashers COMMAND ${target} ${crashers})
    endif()
  endforeach()
endif()
