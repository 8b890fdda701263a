"""The build tools' variable-length unsigned numbers: seven bits a byte, lowest first, the top bit
set on every byte but the last (the program's readers decode the same form)."""


def varint(value):
    out = bytearray()
    while True:
        byte = value & 0x7F
        value >>= 7
        if value:
            out.append(byte | 0x80)
        else:
            out.append(byte)
            return bytes(out)
