; Tevra flash loader for 68HC11-based Chrysler controllers (LM, SMEC, SBEC).
;
; The controller's bootstrap ROM receives these 256 bytes at 1200 baud after a
; 0xFF synchronisation byte, stores them from address 0x0000 and jumps to 0x0000.
; From then on this program serves the editor at 9600 baud:
;
;   frame  : command, count, address high, address low
;   answer : the complement of the command byte, sent as soon as it arrives
;   0x01   : read   - send `count` bytes from the address upward
;   0x51   : write  - receive `count` bytes and program them into the EEPROM
;            from the address upward as one page write; nothing is sent back
;   other  : the three further bytes are consumed and nothing happens
;
; A receive overrun or framing error restarts the program from `start`, which
; sets everything up again, so a garbled line never leaves it half-way through
; a frame.
;
; The whole program lives in the 256 bytes of internal RAM it was loaded into.
; The bytes past the code are padding that the program reuses: four variables
; at 0xF0 and the stack (one return address) at the top of RAM. Interrupts stay
; masked throughout; in the bootstrap (special) mode the COP watchdog cannot
; reset the part, so nothing needs servicing.

; ---- registers, addressed through X = REGS ----
REGS    = 0x1000
BAUD    = 0x2B          ; SCI baud rate
SCCR1   = 0x2C          ; SCI control 1: character length, wake-up
SCCR2   = 0x2D          ; SCI control 2: transmitter / receiver enables
SCSR    = 0x2E          ; SCI status
SCDR    = 0x2F          ; SCI data
HPRIO   = 0x3C          ; mode select and interrupt priority

; SCSR bits
TDRE    = 0x80          ; transmit data register empty
TC      = 0x40          ; transmission complete
RDRF    = 0x20          ; receive data register full
RXERR   = 0x0A          ; OR (overrun) | FE (framing error)

; ---- variables in the padding ----
cmd     = 0xF0          ; command byte of the current frame
cnt     = 0xF1          ; count byte; counts down during a write
addr    = 0xF2          ; address, high byte first (0xF2, 0xF3)
last    = 0xF4          ; the last byte of a page write, for DATA polling
STACK   = 0x00FF        ; top of internal RAM

; ---- EEPROM software data protection unlock (a 32K part at 8000-FFFF) ----
UNLOCK1 = 0xD555        ; 0x5555 inside the part
UNLOCK2 = 0xAAAA        ; 0x2AAA inside the part

        .sect .text
        .globl start
start:
        sei                     ; no interrupts: no vectors are set up
        lds     #STACK
        ldx     #REGS
        ; Let the bootstrap's last echo leave the line before the rate changes,
        ; so it is not garbled into the editor's reopened port.
txdone: brclr   SCSR,x #TC txdone
        ; HPRIO = 0x65: RBOOT=0 takes the bootstrap ROM out of BF40-BFFF,
        ; MDA=1 selects expanded mode so the external calibration memory at
        ; 8000-FFFF is on the bus (SMOD stays 1: special test mode), IRV=0,
        ; PSEL=0101 keeps the reset priority.
        ldaa    #0x65
        staa    HPRIO,x
        ; BAUD = 0x30: prescaler /13, rate divider /1. E = 2 MHz (8 MHz crystal)
        ; gives 2 MHz / 16 / 13 = 9615 baud, within 0.2% of 9600.
        ldaa    #0x30
        staa    BAUD,x
        clr     SCCR1,x         ; 8 data bits, one stop bit, no wake-up
        ldaa    #0x0C           ; TE | RE, no SCI interrupts
        staa    SCCR2,x

; ---- command loop ----
command:
        bsr     getc
        staa    *cmd
        coma                    ; acknowledge at once with the complement
        bsr     putc
        bsr     getc
        staa    *cnt
        bsr     getc
        staa    *addr
        bsr     getc
        staa    *addr+1
        ldy     *addr           ; Y walks the address range
        ldaa    *cmd
        cmpa    #0x01
        beq     read
        cmpa    #0x51
        beq     write
        bra     command         ; unknown command: frame consumed, nothing done

; ---- 0x01 read: send cnt bytes from (Y) upward ----
read:
        ldab    *cnt
        beq     command
rdnext: ldaa    0,y
        bsr     putc
        iny
        decb
        bne     rdnext
        bra     command

; ---- 0x51 page write ----
; The EEPROM ends a page load when no byte is stored for 150 us, but at 9600
; baud a character takes about 1 ms. So the unlock sequence is written only
; once the first byte is here, and while waiting for each further byte the
; latest byte is stored again and again at its address, each store restarting
; the load window. The loop below takes 19 E cycles (under 10 us) per turn.
write:
        ldab    *cnt
        beq     command
        bsr     getc            ; first data byte
        psha
        ldaa    #0xAA           ; software data protection: AA to 5555,
        staa    UNLOCK1         ; 55 to 2AAA, A0 to 5555, then the data
        ldaa    #0x55
        staa    UNLOCK2
        ldaa    #0xA0
        staa    UNLOCK1
        pula
        staa    0,y             ; first byte: the page load begins
wrmore: dec     cnt
        beq     wrlast
wrwait: staa    0,y             ; the latest byte again: keep the window open
        ldab    SCSR,x
        bitb    #RXERR
        bne     rxerr
        bitb    #RDRF
        beq     wrwait
        ldaa    SCDR,x          ; next byte, to the next address
        iny
        staa    0,y
        bra     wrmore

; DATA polling: while the part programs, bit 7 of what it reads back is the
; complement of bit 7 of the last byte written; it ends when they agree.
; The write cycle begins only when the load window has run out, and a read
; before that returns the old contents, which could end the polling at once;
; so first let 100 turns of 5 E cycles (250 us) pass without a store.
; A part that never programs (write-protected, or absent) would hold bit 7
; against us forever, so the polling gives up after 256 turns of about 125
; E cycles (16 ms; the part's write cycle takes at most 10 ms). The editor's
; verify then tells what memory holds. A frame arriving meanwhile (the
; editor gave up) overruns and restarts us.
wrlast: staa    *last
        ldab    #100
settle: decb
        bne     settle
        clra                    ; 256 polls
wrpoll: brset   SCSR,x #0x08 rxerr
        ldab    0,y
        eorb    *last
        bpl     wrdone          ; bit 7 agrees: programmed
        ldab    #20             ; 100 E cycles between polls
wrgap:  decb
        bne     wrgap
        deca
        bne     wrpoll
wrdone: jmp     command

; ---- getc: wait for a received byte, return it in A ----
; Reading SCSR then SCDR clears RDRF (and OR/FE with it).
getc:   ldaa    SCSR,x
        bita    #RXERR
        bne     rxerr
        bita    #RDRF
        beq     getc
        ldaa    SCDR,x
        rts

; Overrun or framing error: clear the flags by reading SCDR and start over.
rxerr:  ldaa    SCDR,x
        jmp     start

; ---- putc: send A once the transmitter can take it ----
putc:   brclr   SCSR,x #TDRE putc
        staa    SCDR,x
        rts
