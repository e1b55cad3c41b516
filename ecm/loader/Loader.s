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
; A lost or garbled byte must never program a byte nobody asked for:
; - A write's data bytes must each follow the byte before within QUIET (about
;   44 ms). The editor leaves at most 20 ms between them and at least 55 ms
;   before its next frame, so a write that falls silent (a byte of it was
;   lost) is abandoned before the next frame begins, and nothing is written.
;   The frame's own bytes may take up to LONG (about 0.6 s) each: a frame
;   short of a byte takes data bytes into its address and count, which the
;   data's time-out or the checks below then end; the editor waits 5 s for
;   the answer to a frame.
; - An abandoned frame is never picked up again half-way: what arrives after
;   it (the rest of a frame the editor was slow to send) is discarded until
;   the line has been quiet for LONG (about 0.6 s), so the data of a write
;   the editor stalled on are not taken for commands. The editor's next frame
;   is discarded too; it then waits 5 s for an answer, and the line is quiet
;   again. The same happens after a receive overrun or framing error, and
;   after a write that is refused (below).
; - A page write takes effect only once all its bytes are here: they are
;   gathered in RAM and programmed together, so a frame that ends early
;   writes nothing and a lost data byte cannot shift the ones after it.
; - A page write must lie inside one 64-byte page of the EEPROM window
;   8000-FFFF; anything else (this RAM, the register block, a block across a
;   page boundary, a count above 64) is refused.
;
; Memory: the 256 bytes of internal RAM the program was loaded into. The
; start-up code runs once, so the write buffer reuses its bytes (and the
; padding after it); byte 0 is never overwritten, because the editor's probe
; reads it back as the loader's signature. Variables and the stack (one
; return address) sit at the top of RAM. Interrupts stay
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

; ---- memory ----
BUF     = 0x0001        ; 64-byte write buffer over the start-up code
cnt     = 0xF7          ; count byte of the current frame
addr    = 0xF8          ; address, high byte first (0xF8, 0xF9)
left    = 0xFA          ; data bytes still to come
tmo     = 0xFB          ; time-out: turns of 256 polls left
onq     = 0xFC          ; 0 outside a frame, 1 inside: what a quiet line means
STACK   = 0x00FF        ; top of internal RAM (0xFD-0xFF at the deepest)

; One poll of the receiver takes 19 E cycles; a turn of 256 polls (plus 9
; cycles) takes 4873 cycles, 2.44 ms at E = 2 MHz. The first turn is
; shorter: it starts from whatever B holds.
QUIET   = 18            ; 44 ms
LONG    = 0             ; 256 turns, 0.62 s

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
        jmp     command
        ; The rest of the write buffer: the start-up code is not run again.
        .org    BUF + 64

; ---- getct / getcl: the next received byte in A, within QUIET / LONG ----
; Clobbers B. When nothing comes in time (give or take one turn), the caller
; is left: for the command wait when `onq` is 0 (waiting for a command, or
; discarding), else for `drain` (a frame fell silent).
getcl:  ldaa    #LONG
        bra     gtwait
getct:  ldaa    #QUIET
gtwait: staa    *tmo
gtpoll: ldaa    SCSR,x
        bita    #RXERR
        bne     rxerr
        bita    #RDRF
        bne     gtbyte
        decb
        bne     gtpoll
        dec     tmo
        bne     gtpoll
        ldab    *onq
        beq     cmdwait
; Overrun or framing error: clear the flags by reading SCDR, then discard.
rxerr:  ldaa    SCDR,x
; ---- discard until the line has been quiet for LONG, then take commands ----
drain:  lds     #STACK
        clr     onq
drain1: bsr     getcl
        bra     drain1
; Reading SCSR then SCDR clears RDRF (and OR/FE with it).
gtbyte: ldaa    SCDR,x
        rts

; ---- putc: send A once the transmitter can take it ----
putc:   brclr   SCSR,x #TDRE putc
        staa    SCDR,x
        rts

; ---- command loop ----
command:
        clr     onq
cmdwait:
        lds     #STACK
        bsr     getct           ; waiting for a command: time-outs just repeat
        psha
        inc     onq             ; inside a frame a silent line discards the rest
        coma                    ; acknowledge at once with the complement
        bsr     putc
        bsr     getcl           ; the frame's bytes may come slowly: a busy editor
        staa    *cnt
        bsr     getcl
        staa    *addr
        bsr     getcl
        staa    *addr+1
        pula
        ldab    *cnt
        beq     command         ; nothing to move
        cmpa    #0x51
        beq     write
        cmpa    #0x01
        bne     command         ; unknown command: frame consumed, nothing done

; ---- 0x01 read: send cnt bytes from the address upward ----
        ldy     *addr
rdnext: ldaa    0,y
        bsr     putc
        iny
        decb
        bne     rdnext
        bra     command

; ---- 0x51 page write ----
write:  ldd     *addr
        bpl     drain           ; below 8000: RAM, registers, not the EEPROM
        andb    #0x3F           ; offset inside the 64-byte page
        addb    *cnt
        bcs     drain
        cmpb    #0x40
        bhi     drain           ; runs past the end of the page
        ldaa    *cnt
        staa    *left
        ldy     #BUF
wrrecv: bsr     getct           ; a silent line abandons the frame: nothing written
        staa    0,y
        iny
        dec     left
        bne     wrrecv
        ; Software data protection: AA to 5555, 55 to 2AAA, A0 to 5555, then
        ; the data. The part loads its page as long as each store follows the
        ; one before within 150 us; this loop stores one every 10.5 us.
        ldd     #0xAA55
        staa    UNLOCK1
        stab    UNLOCK2
        ldaa    #0xA0
        staa    UNLOCK1
        ldx     #BUF
        ldy     *addr
        ldab    *cnt
wrcopy: ldaa    0,x
        staa    0,y
        inx
        iny
        decb
        bne     wrcopy
        ldx     #REGS
        ; The part now programs the page for up to 10 ms. Nothing here reads
        ; it meanwhile, and the editor waits 50 ms before its next frame.
        bra     command
