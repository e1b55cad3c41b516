/* The loader runs where the bootstrap stores it: internal RAM from 0x0000.
   The top nine bytes hold its variables and stack. */
OUTPUT_FORMAT("elf32-m68hc11")
OUTPUT_ARCH(m68hc11)
ENTRY(start)
MEMORY { ram (rwx) : ORIGIN = 0x0000, LENGTH = 0x00F7 }
SECTIONS { .text : { *(.text) } > ram }
