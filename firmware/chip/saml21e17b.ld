/*
 * Memory layout of the SAML21E17B image: 128 KB flash at 0, 16 KB RAM at 0x20000000.
 *
 * Flash, in address order:
 *   .text        the vector table `exception_table` (input section .vectors) at address 0,
 *                then code
 *   .dataeeprom  the emulated-EEPROM storage area (input section .dataeeprom): row-aligned
 *                (256 bytes) and padded to whole rows, so that erasing it never touches the
 *                constant data that follows it
 *   .rodata      constant data
 *   __etext      the load image of .data
 *
 * RAM, in address order: .data (__data_start__ to __data_end__, with the static-constructor
 * tables inside it), .bss (__bss_start__ to __bss_end__), free space, and the stack, which
 * starts at __StackTop (top of RAM) and grows down. There is no heap: a link that pulls in
 * malloc or _sbrk fails (see the checks at the end).
 */

MEMORY
{
    FLASH (rx)  : ORIGIN = 0x00000000, LENGTH = 128K
    RAM   (rwx) : ORIGIN = 0x20000000, LENGTH = 16K
}

/* Smallest stack the link accepts between the end of .bss and the top of RAM. */
HIDDEN(MIN_STACK_SIZE = 2K);

/* Erase unit of the flash: four 64-byte pages. */
HIDDEN(FLASH_ROW_SIZE = 256);

ENTRY(Reset_Handler)

SECTIONS
{
    .text :
    {
        KEEP(*(.vectors))
        *(.text .text.* .gnu.linkonce.t.*)
        *(.glue_7t) *(.glue_7)
    } > FLASH

    .dataeeprom : ALIGN(FLASH_ROW_SIZE)
    {
        __dataeeprom_start__ = .;
        KEEP(*(.dataeeprom .dataeeprom.*))
        . = ALIGN(FLASH_ROW_SIZE);
        __dataeeprom_end__ = .;
    } > FLASH

    .rodata :
    {
        *(.rodata .rodata.* .gnu.linkonce.r.*)
        . = ALIGN(4);
        /* Destructor tables: kept for completeness, never run (main does not return). */
        KEEP(*(SORT(.fini_array.*)))
        KEEP(*(.fini_array))
        . = ALIGN(4);
    } > FLASH

    .ARM.extab :
    {
        *(.ARM.extab* .gnu.linkonce.armextab.*)
    } > FLASH

    .ARM.exidx :
    {
        __exidx_start = .;
        *(.ARM.exidx* .gnu.linkonce.armexidx.*)
        __exidx_end = .;
    } > FLASH

    . = ALIGN(4);
    __etext = .;

    /* Initialised data, copied word by word from __etext by Reset_Handler. The constructor
     * tables lie inside this range, so they are valid only after that copy. */
    .data : AT(__etext)
    {
        . = ALIGN(4);
        __data_start__ = .;
        *(.data .data.* .gnu.linkonce.d.*)

        . = ALIGN(4);
        __preinit_array_start = .;
        KEEP(*(.preinit_array))
        __preinit_array_end = .;

        . = ALIGN(4);
        __init_array_start = .;
        /* Constructors run in link order of the objects (see FIRMWARE_SOURCES). */
        KEEP(*(SORT(.init_array.*)))
        KEEP(*(.init_array))
        __init_array_end = .;

        . = ALIGN(4);
        __data_end__ = .;
    } > RAM

    .bss (NOLOAD) :
    {
        . = ALIGN(4);
        __bss_start__ = .;
        *(.bss .bss.* .gnu.linkonce.b.*)
        *(COMMON)
        . = ALIGN(4);
        __bss_end__ = .;
    } > RAM

    __StackTop = ORIGIN(RAM) + LENGTH(RAM);
    __StackLimit = __StackTop - MIN_STACK_SIZE;
    __flash_used__ = __etext + SIZEOF(.data);

    /* Debug sections */
    .comment 0 : { *(.comment) }
    .ARM.attributes 0 : { KEEP(*(.ARM.attributes)) }
    .debug_info 0 : { *(.debug_info .gnu.linkonce.wi.*) }
    .debug_abbrev 0 : { *(.debug_abbrev) }
    .debug_line 0 : { *(.debug_line .debug_line.* .debug_line_end) }
    .debug_frame 0 : { *(.debug_frame) }
    .debug_str 0 : { *(.debug_str) }
    .debug_loc 0 : { *(.debug_loc) }
    .debug_ranges 0 : { *(.debug_ranges) }
    .debug_aranges 0 : { *(.debug_aranges) }
    .debug_rnglists 0 : { *(.debug_rnglists) }
    .debug_loclists 0 : { *(.debug_loclists) }
    .debug_line_str 0 : { *(.debug_line_str) }
    .debug_addr 0 : { *(.debug_addr) }
    .debug_str_offsets 0 : { *(.debug_str_offsets) }
}

/* No heap: should anything pull in the allocator, its break function finds `end` here and the
 * link stops with the message below. */
PROVIDE(end = __bss_end__);
ASSERT(!DEFINED(_sbrk) && !DEFINED(_sbrk_r) && !DEFINED(malloc) && !DEFINED(_malloc_r),
       "the firmware has no heap: malloc or _sbrk must not be linked")
ASSERT(exception_table == ORIGIN(FLASH), "the vector table must be at flash address 0")
ASSERT(SIZEOF(.dataeeprom) % FLASH_ROW_SIZE == 0, ".dataeeprom must be whole flash rows")
ASSERT(__flash_used__ <= ORIGIN(FLASH) + LENGTH(FLASH), "the image does not fit in flash")
ASSERT(__bss_end__ + MIN_STACK_SIZE <= __StackTop,
       "data + bss + MIN_STACK_SIZE do not fit in RAM")
