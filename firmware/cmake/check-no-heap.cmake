# Fails the build when an image links a heap allocator or the heap's break function.
# Usage: cmake -DNM=<arm-none-eabi-nm> -DELF=<image> -P check-no-heap.cmake
execute_process(COMMAND ${NM} ${ELF} OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${ELF}")
endif()

set(heap_symbols malloc _malloc_r free _free_r calloc _calloc_r realloc _realloc_r
    _sbrk _sbrk_r __malloc_av_ _Znwj _Znaj _ZdlPv _ZdaPv)
set(found)
foreach(name IN LISTS heap_symbols)
  if(symbols MATCHES "[0-9a-f]+ [A-Za-z] ${name}\n")
    list(APPEND found ${name})
  endif()
endforeach()
if(found)
  get_filename_component(image ${ELF} NAME)
  string(REPLACE ";" " " found "${found}")
  message(FATAL_ERROR "${image} links heap functions: ${found}")
endif()
