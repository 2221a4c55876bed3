#!/usr/bin/env python3
"""The keyer's AVR109 boot loader (an ATmega1284P) on a pseudo-terminal.

Prints the device path, answers the boot loader's side of AVR109 to one
loader (avrdude -c avr109), and on leaving programming mode or exit writes
the whole flash, as the loader left it, to the file named on the command
line (raw bytes, erased bytes 0xFF). Exits after the loader's exit command.
"""
import os
import pty
import sys
import tty

FLASH_BYTES = 0x20000
BLOCK_BYTES = 256
DEVICE_CODE = 0x74              # ATmega1284(P) in AVR109's device list
SIGNATURE = bytes([0x1E, 0x97, 0x05])
DONE = b"\r"


class BootLoader:
    def __init__(self, fd, dump):
        self.fd = fd
        self.dump = dump
        self.pending = b""
        self.flash = bytearray(b"\xff" * FLASH_BYTES)
        self.eeprom = bytearray(b"\xff" * 4096)
        self.address = 0        # words for flash, bytes for EEPROM, as in AVR109

    def take(self, count):
        while len(self.pending) < count:
            self.pending += os.read(self.fd, 4096)
        got, self.pending = self.pending[:count], self.pending[count:]
        return got

    def send(self, data):
        os.write(self.fd, data)

    def save(self):
        with open(self.dump, "wb") as out:
            out.write(self.flash)

    def memory(self, kind, size):
        """The byte range of a block command at the current address."""
        if kind == ord("F"):
            start = self.address * 2
            self.address += size // 2
            return self.flash, start
        start = self.address
        self.address += size
        return self.eeprom, start

    def serve(self):
        while True:
            command = self.take(1)[0]
            if command == 0x1B:         # ESC wakes a Butterfly; ignored here
                continue
            c = chr(command)
            if c == "S":
                self.send(b"AVRBOOT")
            elif c == "V":
                self.send(b"10")
            elif c == "v":
                self.send(b"?")
            elif c == "p":
                self.send(b"S")
            elif c == "a":
                self.send(b"Y")
            elif c == "b":
                self.send(b"Y" + BLOCK_BYTES.to_bytes(2, "big"))
            elif c == "t":
                self.send(bytes([DEVICE_CODE, 0]))
            elif c in "TxyH":
                argument = self.take(3 if c == "H" else 1)
                if c == "H":
                    self.address = int.from_bytes(argument, "big")
                self.send(DONE)
            elif c == "A":
                self.address = int.from_bytes(self.take(2), "big")
                self.send(DONE)
            elif c == "e":
                self.flash[:] = b"\xff" * FLASH_BYTES
                self.send(DONE)
            elif c == "s":
                self.send(SIGNATURE[::-1])
            elif c in "FNQr":           # fuses and lock bits: unprogrammed
                self.send(b"\xff")
            elif c == "B":
                size = int.from_bytes(self.take(2), "big")
                kind = self.take(1)[0]
                data = self.take(size)
                target, start = self.memory(kind, size)
                target[start:start + size] = data
                self.send(DONE)
            elif c == "g":
                size = int.from_bytes(self.take(2), "big")
                target, start = self.memory(self.take(1)[0], size)
                self.send(bytes(target[start:start + size]))
            elif c in "PL":
                self.save()
                self.send(DONE)
            elif c == "E":
                self.save()
                self.send(DONE)
                return
            else:
                self.send(b"?")


def main():
    master, slave = pty.openpty()
    # Raw both ways before the loader opens its side: no echo, no CR
    # translation, no XON/XOFF taken out of the image's bytes.
    tty.setraw(slave)
    print(os.ttyname(slave), flush=True)
    BootLoader(master, sys.argv[1]).serve()
    os.close(slave)


if __name__ == "__main__":
    main()
