"""A private virtual X server, and the few Xlib calls the tests need that the
command-line tools do not offer: reading pixels back quickly, and a plain
window of our own to stand behind the program's windows."""

import ctypes
import ctypes.util
import itertools
import os
import select
import subprocess
import time


class XServerError(RuntimeError):
    pass


class VirtualScreen:
    """Xvfb on a display number it picks itself, so that parallel runs never
    collide; stopped by stop() or on leaving a with-block."""

    def __init__(self, width=1024, height=768):
        self.width = width
        self.height = height
        read_end, write_end = os.pipe()
        try:
            self._process = subprocess.Popen(
                ["Xvfb", "-displayfd", str(write_end), "-screen", "0", f"{width}x{height}x24",
                 "-nolisten", "tcp", "-noreset"],
                pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                start_new_session=True)
        finally:
            os.close(write_end)
        number = b""
        deadline = time.monotonic() + 20
        with os.fdopen(read_end, "rb", buffering=0) as pipe:
            os.set_blocking(pipe.fileno(), False)
            while not number.endswith(b"\n"):
                if time.monotonic() > deadline or self._process.poll() is not None:
                    self.stop()
                    raise XServerError("Xvfb did not report a display number")
                try:
                    chunk = pipe.read(16)
                except BlockingIOError:
                    chunk = None
                if chunk:
                    number += chunk
                else:
                    time.sleep(0.02)
        self.display = ":" + number.decode().strip()

    def stop(self):
        if self._process.poll() is None:
            self._process.terminate()
            try:
                self._process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                self._process.kill()
                self._process.wait(timeout=5)

    def __enter__(self):
        return self

    def __exit__(self, *exc):
        self.stop()


# Xlib through ctypes (python3's standard library has no X binding).
_xlib = ctypes.CDLL(ctypes.util.find_library("X11") or "libX11.so.6")

_Window = ctypes.c_ulong


class _XImage(ctypes.Structure):
    _fields_ = [("width", ctypes.c_int), ("height", ctypes.c_int), ("xoffset", ctypes.c_int),
                ("format", ctypes.c_int), ("data", ctypes.POINTER(ctypes.c_ubyte)),
                ("byte_order", ctypes.c_int), ("bitmap_unit", ctypes.c_int),
                ("bitmap_bit_order", ctypes.c_int), ("bitmap_pad", ctypes.c_int),
                ("depth", ctypes.c_int), ("bytes_per_line", ctypes.c_int),
                ("bits_per_pixel", ctypes.c_int), ("red_mask", ctypes.c_ulong),
                ("green_mask", ctypes.c_ulong), ("blue_mask", ctypes.c_ulong)]


class _XButtonEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", _Window), ("root", _Window),
                ("subwindow", _Window), ("time", ctypes.c_ulong), ("x", ctypes.c_int),
                ("y", ctypes.c_int), ("x_root", ctypes.c_int), ("y_root", ctypes.c_int),
                ("state", ctypes.c_uint), ("button", ctypes.c_uint), ("same_screen", ctypes.c_int)]


class _XClientMessageEvent(ctypes.Structure):
    _fields_ = [("type", ctypes.c_int), ("serial", ctypes.c_ulong), ("send_event", ctypes.c_int),
                ("display", ctypes.c_void_p), ("window", _Window), ("message_type", ctypes.c_ulong),
                ("format", ctypes.c_int), ("data", ctypes.c_long * 5)]


class _XEvent(ctypes.Union):
    _fields_ = [("type", ctypes.c_int), ("button", _XButtonEvent), ("client", _XClientMessageEvent),
                ("pad", ctypes.c_long * 24)]


_xlib.XOpenDisplay.restype = ctypes.c_void_p
_xlib.XOpenDisplay.argtypes = [ctypes.c_char_p]
_xlib.XCloseDisplay.argtypes = [ctypes.c_void_p]
_xlib.XDefaultRootWindow.restype = _Window
_xlib.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
_xlib.XGetImage.restype = ctypes.POINTER(_XImage)
_xlib.XGetImage.argtypes = [ctypes.c_void_p, _Window, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                            ctypes.c_uint, ctypes.c_ulong, ctypes.c_int]
_xlib.XDestroyImage.argtypes = [ctypes.POINTER(_XImage)]
_xlib.XCreateSimpleWindow.restype = _Window
_xlib.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, _Window, ctypes.c_int, ctypes.c_int, ctypes.c_uint,
                                      ctypes.c_uint, ctypes.c_uint, ctypes.c_ulong, ctypes.c_ulong]
_xlib.XDestroyWindow.argtypes = [ctypes.c_void_p, _Window]
_xlib.XSelectInput.argtypes = [ctypes.c_void_p, _Window, ctypes.c_long]
_xlib.XMapWindow.argtypes = [ctypes.c_void_p, _Window]
_xlib.XLowerWindow.argtypes = [ctypes.c_void_p, _Window]
_xlib.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
_xlib.XCheckTypedWindowEvent.argtypes = [ctypes.c_void_p, _Window, ctypes.c_int, ctypes.POINTER(_XEvent)]
_xtst = ctypes.CDLL(ctypes.util.find_library("Xtst") or "libXtst.so.6")
_xtst.XTestFakeKeyEvent.argtypes = [ctypes.c_void_p, ctypes.c_uint, ctypes.c_int, ctypes.c_ulong]
_xlib.XStringToKeysym.restype = ctypes.c_ulong
_xlib.XStringToKeysym.argtypes = [ctypes.c_char_p]
_xlib.XKeysymToKeycode.restype = ctypes.c_ubyte
_xlib.XKeysymToKeycode.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
_xlib.XInternAtom.restype = ctypes.c_ulong
_xlib.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
_xlib.XSendEvent.argtypes = [ctypes.c_void_p, _Window, ctypes.c_int, ctypes.c_long, ctypes.POINTER(_XEvent)]
_xlib.XFlush.argtypes = [ctypes.c_void_p]
_xlib.XPending.argtypes = [ctypes.c_void_p]
_xlib.XNextEvent.argtypes = [ctypes.c_void_p, ctypes.POINTER(_XEvent)]
_xlib.XConnectionNumber.argtypes = [ctypes.c_void_p]

_ZPIXMAP = 2
_ALL_PLANES = 0xFFFFFFFF
_BUTTON_PRESS = 4
_CLIENT_MESSAGE = 33
_BUTTON_PRESS_MASK = 1 << 2
_STRUCTURE_NOTIFY_MASK = 1 << 17


# A window can go away between finding it and asking about it: errors are
# reported by the calls' results, not by ending the test process.
_ERROR_HANDLER = ctypes.CFUNCTYPE(ctypes.c_int, ctypes.c_void_p, ctypes.c_void_p)(lambda display, error: 0)
_xlib.XSetErrorHandler.argtypes = [ctypes.c_void_p]
_xlib.XSetErrorHandler(ctypes.cast(_ERROR_HANDLER, ctypes.c_void_p))


class Picture:
    """Pixels read back from the screen: rgb(x, y) in screen coordinates."""

    def __init__(self, left, top, width, height, bgrx, stride):
        self.left, self.top, self.width, self.height = left, top, width, height
        self._bgrx = bgrx
        self._stride = stride

    def rgb(self, x, y):
        i = (y - self.top) * self._stride + (x - self.left) * 4
        b, g, r = self._bgrx[i], self._bgrx[i + 1], self._bgrx[i + 2]
        return r, g, b

    def luminance(self, x, y):
        r, g, b = self.rgb(x, y)
        return (299 * r + 587 * g + 114 * b) // 1000

    def crop(self, x, y, width, height):
        """The pixels of a rectangle as bytes, for comparing two pictures."""
        rows = []
        for row in range(y, y + height):
            i = (row - self.top) * self._stride + (x - self.left) * 4
            rows.append(self._bgrx[i:i + width * 4])
        return b"".join(rows)


class Display:
    """One Xlib connection to the virtual screen."""

    def __init__(self, name):
        self._name = name.encode()
        self._dpy = _xlib.XOpenDisplay(self._name)
        if not self._dpy:
            raise XServerError(f"cannot open display {name}")
        self.root = _xlib.XDefaultRootWindow(self._dpy)
        self._own_windows = []

        self._pings = None  # a connection of its own for replies to pings
        self._tokens = itertools.count(1)

    def close(self):
        for window in self._own_windows:
            _xlib.XDestroyWindow(self._dpy, window)
        _xlib.XCloseDisplay(self._dpy)
        if self._pings:
            _xlib.XCloseDisplay(self._pings)

    def tap_key(self, name):
        """Presses and releases a key named by its keysym ("Left", "Up"), as
        xdotool does but without starting a process; returns once the server
        has delivered both."""
        keycode = _xlib.XKeysymToKeycode(self._dpy, _xlib.XStringToKeysym(name.encode()))
        if not keycode:
            raise XServerError(f"no key for {name}")
        _xtst.XTestFakeKeyEvent(self._dpy, keycode, 1, 0)
        _xtst.XTestFakeKeyEvent(self._dpy, keycode, 0, 0)
        _xlib.XSync(self._dpy, 0)

    def ping(self, window, timeout=20):
        """Sends the window's program a ping (the window manager's "are you
        alive" message, which toolkits answer from their event loop) and waits
        for the answer: True once it came, False after timeout seconds."""
        if not self._pings:
            self._pings = _xlib.XOpenDisplay(self._name)
            if not self._pings:
                raise XServerError("cannot open a second connection for pings")
            # The answer is sent to the root window, to those watching it.
            _xlib.XSelectInput(self._pings, _xlib.XDefaultRootWindow(self._pings), _STRUCTURE_NOTIFY_MASK)
            _xlib.XSync(self._pings, 0)
        protocols = _xlib.XInternAtom(self._pings, b"WM_PROTOCOLS", 0)
        ping = _xlib.XInternAtom(self._pings, b"_NET_WM_PING", 0)
        token = next(self._tokens)
        event = _XEvent()
        event.client.type = _CLIENT_MESSAGE
        event.client.window = window
        event.client.message_type = protocols
        event.client.format = 32
        for i, value in enumerate((ping, token, window, 0, 0)):
            event.client.data[i] = value
        _xlib.XSendEvent(self._pings, window, 0, 0, ctypes.byref(event))
        _xlib.XFlush(self._pings)
        deadline = time.monotonic() + timeout
        while True:
            while _xlib.XPending(self._pings):
                _xlib.XNextEvent(self._pings, ctypes.byref(event))
                if (event.type == _CLIENT_MESSAGE and event.client.message_type == protocols
                        and event.client.data[0] == ping and event.client.data[1] == token):
                    return True
            remaining = deadline - time.monotonic()
            if remaining <= 0:
                return False
            select.select([_xlib.XConnectionNumber(self._pings)], [], [], remaining)

    def grab(self, left, top, width, height, window=None):
        """Screen pixels of a rectangle (it must lie on the screen), or with
        `window` the pixels the window's program drew there, in the window's
        coordinates, whatever a compositor shows of them."""
        image = _xlib.XGetImage(self._dpy, window or self.root, left, top, width, height, _ALL_PLANES, _ZPIXMAP)
        if not image:
            raise XServerError(f"XGetImage failed for {width}x{height}+{left}+{top}")
        try:
            content = image.contents
            if content.bits_per_pixel != 32 or content.byte_order != 0:
                raise XServerError("expected a 32-bit little-endian screen image")
            size = content.bytes_per_line * content.height
            data = ctypes.string_at(content.data, size)
            return Picture(left, top, width, height, data, content.bytes_per_line)
        finally:
            _xlib.XDestroyImage(image)

    def add_window_behind(self, left, top, width, height, rgb):
        """A plain window of one colour under every other window, which
        records the mouse presses that reach it."""
        pixel = (rgb[0] << 16) | (rgb[1] << 8) | rgb[2]
        window = _xlib.XCreateSimpleWindow(self._dpy, self.root, left, top, width, height, 0, 0, pixel)
        self._own_windows.append(window)
        _xlib.XSelectInput(self._dpy, window, _BUTTON_PRESS_MASK)
        # Lowered before it is mapped: mapped on top, it would cover the
        # other windows for a moment and make their programs draw them anew.
        _xlib.XLowerWindow(self._dpy, window)
        _xlib.XMapWindow(self._dpy, window)
        _xlib.XSync(self._dpy, 0)
        return window

    def presses_on(self, window):
        """Mouse presses that reached a window of ours since the last call, as
        (x_root, y_root, button)."""
        _xlib.XSync(self._dpy, 0)
        presses = []
        event = _XEvent()
        while _xlib.XCheckTypedWindowEvent(self._dpy, window, _BUTTON_PRESS, ctypes.byref(event)):
            presses.append((event.button.x_root, event.button.y_root, event.button.button))
        return presses
