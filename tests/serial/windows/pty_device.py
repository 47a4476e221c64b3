#!/usr/bin/env python3
"""The device end of a pseudo-terminal linked as a Wine COM port, for the
Win32 serial line's test. Usage: pty_device.py LINK RESUME, where LINK is
the COM name in Wine's dosdevices folder and RESUME a file that the host
writes to end a DEAF spell.

Commands arrive as text lines on the line itself and run in order:
  ECHO n   read n raw bytes and send them back
  SEND n   send n bytes "x" in one write
  MODE     answer "<baud> <stop bits> <data bits> <flow control 0/1>"
           from the line settings the host has set
  PING     answer "PONG"
  DEAF     read nothing, so that the host's writes stall, until the host
           has written to the RESUME file how many bytes it got out; then
           drop those bytes and go on
  HANGUP   link a fresh terminal, then close this one: the port vanishes
Answers end with LF. Runs until killed."""
import os
import sys
import termios
import time
import tty

SPEEDS = {getattr(termios, "B%d" % b): b
          for b in (1200, 2400, 4800, 9600, 19200, 38400, 57600, 115200)}
SIZES = {termios.CS5: 5, termios.CS6: 6, termios.CS7: 7, termios.CS8: 8}


def open_terminal(link):
    # Our own slave end stays open so the master stays readable while the
    # host closes and reopens the port.
    master, slave = os.openpty()
    tty.setraw(slave)
    os.symlink(os.ttyname(slave), link + ".new")
    os.replace(link + ".new", link)
    return master, slave


def read_exactly(fd, n):
    data = b""
    while len(data) < n:
        chunk = os.read(fd, n - len(data))
        if not chunk:
            sys.exit("pty_device.py: the terminal closed")
        data += chunk
    return data


def read_line(fd):
    line = b""
    while not line.endswith(b"\n"):
        line += read_exactly(fd, 1)
    return line.decode("latin-1").split()


def mode(slave):
    iflag, _, cflag, _, _, ospeed, _ = termios.tcgetattr(slave)
    stop = 2 if cflag & termios.CSTOPB else 1
    flow = (iflag & (termios.IXON | termios.IXOFF)) or \
        (cflag & termios.CRTSCTS)
    return "%d %d %d %d\n" % (SPEEDS.get(ospeed, 0), stop,
                              SIZES[cflag & termios.CSIZE], 1 if flow else 0)


def main():
    link, resume = sys.argv[1], sys.argv[2]
    master, slave = open_terminal(link)
    while True:
        words = read_line(master)
        if not words:
            continue
        if words[0] == "ECHO":
            os.write(master, read_exactly(master, int(words[1])))
        elif words[0] == "SEND":
            os.write(master, b"x" * int(words[1]))
        elif words[0] == "MODE":
            os.write(master, mode(slave).encode())
        elif words[0] == "PING":
            os.write(master, b"PONG\n")
        elif words[0] == "DEAF":
            while not os.path.exists(resume):
                time.sleep(0.05)
            with open(resume) as f:
                count = int(f.read())
            os.unlink(resume)
            read_exactly(master, count)
        elif words[0] == "HANGUP":
            fresh = open_terminal(link)
            os.close(master)
            os.close(slave)
            master, slave = fresh


main()
