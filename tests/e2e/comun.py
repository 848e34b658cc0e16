"""What the end-to-end tests share: a private X server with a window manager,
the means to drive it with xdotool, screenshots, and the twips of the layout
tables turned into pixels."""

import ctypes
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import time

# tool -> Debian package, for the message when one is missing
HERRAMIENTAS = {
    "Xvfb": "xvfb",
    "openbox": "openbox",
    "xdotool": "xdotool",
    "xclip": "xclip",
    "import": "imagemagick",
    "convert": "imagemagick",
    "xkbcomp": "x11-xkb-utils",
}

PICTURE1 = (2040, 1680, 540, 540)  # main menu, under its menu bar

ESPERA = 10.0  # seconds any one thing may take to happen


class Fallo(Exception):
    pass


def Pixeles(twips):
    return (twips + 7) // 15


def Rectangulo(control):
    return tuple(Pixeles(v) for v in control)


def Centro(control):
    x, y, w, h = Rectangulo(control)
    return x + w // 2, y + h // 2


def MorirConElPadre():
    # Children die with this script even if CTest kills it outright.
    ctypes.CDLL(None).prctl(1, signal.SIGKILL)  # PR_SET_PDEATHSIG


def Esperar(condicion, que, limite=ESPERA):
    fin = time.monotonic() + limite
    while True:
        valor = condicion()
        if valor:
            return valor
        if time.monotonic() > fin:
            raise Fallo("timed out waiting for " + que)
        time.sleep(0.03)


class Imagen:
    """A screenshot as raw RGB, to compare regions and find edges."""

    def __init__(self, ppm):
        partes = ppm.split(maxsplit=4)
        if partes[0] != b"P6" or partes[3] != b"255":
            raise Fallo("unexpected screenshot format")
        self.ancho, self.alto = int(partes[1]), int(partes[2])
        self.datos = partes[4]
        self.ppm = ppm

    def pixel(self, x, y):
        i = 3 * (y * self.ancho + x)
        return self.datos[i:i + 3]

    def recorte(self, x, y, w, h):
        return b"".join(self.datos[3 * ((y + f) * self.ancho + x):3 * ((y + f) * self.ancho + x + w)]
                        for f in range(h))


class Pantalla:
    """One private X server with openbox, and the means to drive it."""

    def __init__(self, ancho, alto, trabajo):
        self.ancho, self.alto = ancho, alto
        self.trabajo = trabajo
        self.procesos = []
        try:
            self.arrancar()
        except BaseException:
            self.cerrar()
            raise

    def arrancar(self):
        ancho, alto, trabajo = self.ancho, self.alto, self.trabajo
        r, w = os.pipe()
        self.procesos.append(subprocess.Popen(
            ["Xvfb", "-displayfd", str(w), "-screen", "0", "%dx%dx24" % (ancho, alto),
             "-nolisten", "tcp"],
            pass_fds=(w,), stdout=subprocess.DEVNULL, stderr=open(os.path.join(trabajo, "xvfb.log"), "w"),
            preexec_fn=MorirConElPadre))
        os.close(w)
        numero = b""
        fin = time.monotonic() + ESPERA
        while not numero.endswith(b"\n"):
            listo, _, _ = select.select([r], [], [], max(0.0, fin - time.monotonic()))
            if not listo:
                raise Fallo("Xvfb did not start")
            trozo = os.read(r, 16)
            if not trozo:
                raise Fallo("Xvfb exited at start")
            numero += trozo
        os.close(r)
        self.display = ":" + numero.decode().strip()
        self.env = dict(os.environ, DISPLAY=self.display, LC_ALL="C.UTF-8")
        self.env.pop("XAUTHORITY", None)
        listo = os.path.join(trabajo, "wm-listo")
        self.procesos.append(subprocess.Popen(
            ["openbox", "--startup", "touch " + listo], env=self.env,
            stdout=subprocess.DEVNULL, stderr=open(os.path.join(trabajo, "openbox.log"), "w"),
            preexec_fn=MorirConElPadre))
        Esperar(lambda: os.path.exists(listo), "openbox to start")

    def cerrar(self):
        for p in reversed(self.procesos):
            if p.poll() is None:
                p.kill()
                p.wait()

    def ejecutar(self, *orden, entrada=None, comprobar=True):
        try:
            r = subprocess.run(list(orden), env=self.env, input=entrada, capture_output=True,
                               timeout=ESPERA)
        except subprocess.TimeoutExpired:
            raise Fallo("%s did not finish" % " ".join(orden))
        if comprobar and r.returncode != 0:
            raise Fallo("%s failed: %s" % (" ".join(orden), r.stderr.decode(errors="replace")))
        return r

    def xdo(self, *args, comprobar=True):
        return self.ejecutar("xdotool", *args, comprobar=comprobar).stdout.decode().strip()

    def preparar_teclado(self, caracteres):
        """Gives each non-ASCII character a key of its own. Otherwise xdotool
        rebinds a key for each such character while typing, and Qt drops or
        delays the next mouse click while it takes in the changed keymap."""
        mapa = self.ejecutar("xkbcomp", "-xkb", self.display, "-").stdout.decode()
        codigos = mapa[mapa.index("xkb_keycodes"):mapa.index("xkb_types")]
        i = mapa.index("xkb_symbols")
        j = mapa.index("\n};", i)
        nombres = {m.group(1): int(m.group(2))
                   for m in re.finditer(r"<(\w+)>\s*=\s*(\d+);", codigos)}
        usados = set(re.findall(r"key\s+<(\w+)>", mapa[i:j]))
        libres = sorted((n for n in nombres if n not in usados and 8 <= nombres[n] <= 255),
                        key=nombres.get)
        # Two characters to a key (the second with Shift) when single keys run out.
        por_tecla = 1 if len(libres) >= len(caracteres) else 2
        if por_tecla * len(libres) < len(caracteres):
            raise Fallo("not enough free keys for %d characters" % len(caracteres))

        def simbolo(c):
            return "0x%x" % (ord(c) if ord(c) < 0x100 else 0x1000000 | ord(c))
        grupos = [caracteres[i:i + por_tecla] for i in range(0, len(caracteres), por_tecla)]
        lineas = "".join("    key <%s> { [ %s ] };\n" % (n, ", ".join(simbolo(c) for c in g))
                         for n, g in zip(libres, grupos))
        self.ejecutar("xkbcomp", "-w", "0", "-", self.display,
                      entrada=(mapa[:j] + "\n" + lineas + mapa[j:]).encode())

    def area_trabajo(self):
        if shutil.which("xprop"):
            v = self.ejecutar("xprop", "-root", "_NET_WORKAREA").stdout.decode()
            if "=" in v:
                return tuple(int(n) for n in v.split("=")[1].split(",")[:4])
        return (0, 0, self.ancho, self.alto)

    def marco(self, ventana):
        """Left, right, top, bottom decorations, or None without xprop."""
        if not shutil.which("xprop"):
            return None
        v = self.ejecutar("xprop", "-id", ventana, "_NET_FRAME_EXTENTS").stdout.decode()
        return tuple(int(n) for n in v.split("=")[1].split(",")) if "=" in v else None

    def estado(self, ventana):
        if not shutil.which("xprop"):
            return None
        return self.ejecutar("xprop", "-id", ventana, "_NET_WM_STATE").stdout.decode()

    def origen(self, ventana):
        # The client window's top-left corner on the screen. (getwindowgeometry
        # counts openbox's title bar twice; moving the pointer there does not.)
        self.xdo("mousemove", "--window", ventana, "0", "0")
        return self.puntero()

    def tamano(self, ventana):
        g = dict(l.split("=") for l in self.xdo("getwindowgeometry", "--shell", ventana).split())
        return int(g["WIDTH"]), int(g["HEIGHT"])

    def puntero(self):
        pos = dict(l.split("=") for l in self.xdo("getmouselocation", "--shell").split())
        return int(pos["X"]), int(pos["Y"])

    def clic(self, x, y):
        # (mousemove --sync never returns when the pointer is already there)
        self.xdo("mousemove", str(x), str(y))
        Esperar(lambda: self.puntero() == (x, y), "the pointer to reach %d,%d" % (x, y), 3)
        self.xdo("click", "1")

    def teclas(self, *teclas):
        self.xdo("key", *teclas)

    def escribir(self, texto):
        # A typed "\n" arrives as Linefeed, which no text box takes: the line
        # break is the Return key.
        for i, linea in enumerate(texto.split("\n")):
            if i:
                self.teclas("Return")
            if linea:
                self.xdo("type", "--delay", "12", linea)

    def portapapeles(self):
        r = self.ejecutar("xclip", "-o", "-selection", "clipboard", comprobar=False)
        return r.stdout.decode(errors="replace") if r.returncode == 0 else None

    def poner_portapapeles(self, texto):
        # xclip stays in the background as owner until Qt takes the clipboard;
        # it ends with the X server.
        subprocess.Popen(["xclip", "-i", "-selection", "clipboard"], env=self.env,
                         stdin=subprocess.PIPE, stdout=subprocess.DEVNULL,
                         stderr=subprocess.DEVNULL).communicate(texto.encode())
        Esperar(lambda: self.portapapeles() == texto, "the clipboard to be set")

    def captura(self):
        r = self.ejecutar("import", "-window", "root", "-depth", "8", "ppm:-")
        return Imagen(r.stdout)

    def captura_quieta(self):
        # A window just mapped may not be painted yet: wait until two
        # screenshots in a row agree.
        anterior = self.captura()

        def quieta():
            nonlocal anterior
            actual = self.captura()
            igual = actual.datos == anterior.datos
            anterior = actual
            return igual and actual
        return Esperar(quieta, "the screen to settle")

    def guardar(self, imagen, ruta):
        self.ejecutar("convert", "ppm:-", ruta, entrada=imagen.ppm)


class Ventanas:
    """The program's windows on a Pantalla: which are visible and active,
    whether one is maximized, and clicks relative to a client area."""

    programa = None
    pantalla = None
    tamano_max = None
    origen = (0, 0)
    registro = None  # the program's output, as a file

    def cerrar(self):
        """Kills the program if it still runs and stops its X server."""
        if self.programa and self.programa.poll() is None:
            self.programa.kill()
            self.programa.wait()
        if self.pantalla:
            self.pantalla.cerrar()
        if self.registro:
            self.registro.close()

    def activa(self):
        p = self.pantalla
        v = p.xdo("getactivewindow", comprobar=False)
        if not v:
            return None, None
        nombre = p.ejecutar("xdotool", "getwindowname", v, comprobar=False).stdout.decode().strip()
        pid = p.ejecutar("xdotool", "getwindowpid", v, comprobar=False).stdout.decode().strip()
        return v, (nombre if pid == str(self.programa.pid) else None)

    def visibles(self):
        r = self.pantalla.ejecutar("xdotool", "search", "--onlyvisible", "--pid",
                                   str(self.programa.pid), comprobar=False)
        return set(r.stdout.decode().split())

    def maximizada(self, v, nombre):
        p = self.pantalla
        tamano = p.tamano(v)
        ax, ay, aw, ah = p.area_trabajo()
        marco = p.marco(v)
        if marco:
            izq, der, arr, aba = marco
            esperado = (aw - izq - der, ah - arr - aba)
            estado = p.estado(v)
            if "_NET_WM_STATE_MAXIMIZED_VERT" not in estado or \
               "_NET_WM_STATE_MAXIMIZED_HORZ" not in estado:
                raise Fallo('"%s" is not maximized: %s' % (nombre, estado.strip()))
            if self.origen != (ax + izq, ay + arr):
                raise Fallo('"%s" is not at the top left of the work area' % nombre)
        else:
            esperado = self.tamano_max or (aw, tamano[1])
        if self.tamano_max is None:
            self.tamano_max = tamano
        if tamano != esperado or tamano != self.tamano_max:
            raise Fallo('"%s" is %dx%d, a maximized window is %dx%d' %
                        (nombre, tamano[0], tamano[1], esperado[0], esperado[1]))

    def clic(self, control, bajar=0):
        x, y = Centro(control)
        self.pantalla.clic(self.origen[0] + x, self.origen[1] + bajar + y)

    def barra_menu(self, imagen):
        """Height of the menu bar over the main menu's client area, found as
        the top edge of Picture1's border below it."""
        x0, y0 = self.origen
        x = x0 + Rectangulo(PICTURE1)[0] + 1
        fondo = imagen.pixel(x, y0 + 60)
        y = next((y for y in range(y0 + 60, y0 + 300) if imagen.pixel(x, y) != fondo), y0)
        barra = y - y0 - Rectangulo(PICTURE1)[1]
        if not 0 < barra < 60:
            raise Fallo("menu bar of %d pixels: picture box not where expected" % barra)
        return barra


def Comprobar_herramientas():
    faltan = ["%s (package %s)" % (h, paquete) for h, paquete in HERRAMIENTAS.items()
              if not shutil.which(h)]
    if faltan:
        print("e2e: missing tools: %s; install them with scripts/deps test" % ", ".join(faltan),
              file=sys.stderr)
        sys.exit(1)
