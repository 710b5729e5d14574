# Prints the memory use of an image from its linker-script symbols.
# Usage: cmake -DNM=<arm-none-eabi-nm> -DELF=<image> -P size-report.cmake
execute_process(COMMAND ${NM} ${ELF} OUTPUT_VARIABLE symbols RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${NM} failed on ${ELF}")
endif()

function(symbol_value name out)
  if(NOT symbols MATCHES "([0-9a-f]+) [A-Za-z] ${name}\n")
    message(FATAL_ERROR "symbol ${name} not found in ${ELF}")
  endif()
  math(EXPR value "0x${CMAKE_MATCH_1}")
  set(${out} ${value} PARENT_SCOPE)
endfunction()

# "<used> of <total> bytes (<percent> %)" with one decimal.
function(usage used total out)
  math(EXPR tenths "(${used} * 1000 + ${total} / 2) / ${total}")
  math(EXPR whole "${tenths} / 10")
  math(EXPR fraction "${tenths} % 10")
  set(${out} "${used} of ${total} bytes (${whole}.${fraction} %)" PARENT_SCOPE)
endfunction()

set(FLASH_SIZE 131072)
set(RAM_SIZE 16384)
symbol_value(__flash_used__ flash_used)
symbol_value(__data_start__ data_start)
symbol_value(__data_end__ data_end)
symbol_value(__bss_start__ bss_start)
symbol_value(__bss_end__ bss_end)
symbol_value(__StackTop stack_top)

math(EXPR data_size "${data_end} - ${data_start}")
math(EXPR bss_size "${bss_end} - ${bss_start}")
math(EXPR ram_used "${data_size} + ${bss_size}")
math(EXPR headroom "${stack_top} - ${bss_end}")
math(EXPR bss_end_hex "${bss_end}" OUTPUT_FORMAT HEXADECIMAL)
math(EXPR stack_top_hex "${stack_top}" OUTPUT_FORMAT HEXADECIMAL)
usage(${flash_used} ${FLASH_SIZE} flash_text)
usage(${ram_used} ${RAM_SIZE} ram_text)

get_filename_component(image ${ELF} NAME)
message(STATUS "${image} memory use:\n"
  "  flash:            ${flash_text}\n"
  "  RAM (data + bss): ${ram_text}: data ${data_size}, bss ${bss_size}\n"
  "  stack headroom:   ${headroom} bytes (${stack_top_hex} - end of bss ${bss_end_hex})")
