#!/usr/bin/env python3
"""The shipped binary, used as a person uses it.

Starts a private X server with a window manager, runs folioteca in an empty
directory and walks the road of one card: title window, main menu, editing
menu, new card (a failed save first, then a good one), full list, search,
card window, exit. Clicks land on the centre of each control as the layout
tables place it; values come back through the clipboard; every window and
message box is saved as a PNG. The walk runs once per screen size.

Usage: recorrido.py FOLIOTECA OUTPUT_DIR
"""

import ctypes
import os
import re
import select
import shutil
import signal
import subprocess
import sys
import tempfile
import time

TAMANOS = [(800, 600), (1024, 768)]

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

# What the walk types, and the one line it must leave in fichas.dat.
TITULO = "Crónica de una muerte anunciada"
AUTOR = "Ángel Núñez Güell"
CODIGO = "ESP-0042"
TEMA = "Novela española"
COMENTARIO = "Primera edición, 1981.\nComprado por 12 € en el «Rastro»"
PALABRA = "muerte"
LINEA = ('1,"%s","%s","","","","","%s","%s","%s"\r\n' %
         (TITULO, AUTOR, CODIGO, TEMA, COMENTARIO.replace("\n", "\r\n"))).encode("cp1252")

# The controls the walk touches: left, top, width, height in twips.
INICIO = {"btnInicio": (0, 0, 12060, 9060)}
MENU = {"btnSalir": (2880, 6120, 6135, 495), "Picture1": (2040, 1680, 540, 540)}
EDICION = {"btnCrear": (2880, 2160, 6255, 495)}
CREAR = {
    "txtComentario": (120, 5040, 8895, 1935),
    "txtTema": (4080, 3960, 4935, 285),
    "txtNumero": (1080, 210, 1335, 285),
    "btnVolver": (2640, 7200, 1215, 495),
    "btnGuardar": (1200, 7200, 1215, 495),
    "txtCodigo": (4080, 3480, 4935, 285),
    "txtAutor": (4080, 1080, 4935, 285),
    "txtTitulo": (4080, 600, 4935, 285),
}
LISTA = {"btnVolver": (5400, 7440, 1215, 495), "txtNumero": (1440, 240, 1215, 285)}
BUSCAR = {
    "txtBuscar": (2400, 240, 4095, 285),
    "optTitulo": (8280, 360, 3255, 375),
    "btnBuscar": (4080, 1080, 1215, 495),
    "txtNtotal": (2040, 2280, 1215, 285),
    "txtNlista": (3240, 6960, 1215, 285),
    "btnAbrir": (4920, 7440, 1215, 495),
}
FICHA = {
    "txtNumero": (1080, 360, 1335, 285),
    "txtTitulo": (4080, 750, 4935, 285),
    "txtAutor": (4080, 1230, 4935, 285),
    "txtCodigo": (4080, 3630, 4935, 285),
    "txtTema": (4080, 4110, 4935, 285),
    "txtComentario": (120, 5190, 8895, 1935),
    "btnVolver": (2640, 7350, 1215, 495),
}

# The boxes of the new card in the order they are typed and read back.
TEXTOS = [("txtTitulo", TITULO), ("txtAutor", AUTOR), ("txtCodigo", CODIGO),
          ("txtTema", TEMA), ("txtComentario", COMENTARIO)]

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
        if len(libres) < len(caracteres):
            raise Fallo("not enough free keys for %d characters" % len(caracteres))
        lineas = "".join("    key <%s> { [ 0x%x ] };\n" % (n, ord(c) if ord(c) < 0x100
                                                            else 0x1000000 | ord(c))
                         for n, c in zip(libres, caracteres))
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


class Recorrido:
    def __init__(self, binario, salida, ancho, alto):
        self.binario = binario
        self.salida = salida
        self.trabajo = tempfile.mkdtemp(prefix="folioteca-e2e-")
        self.carpeta = os.path.join(self.trabajo, "carpeta")  # the program's cwd
        os.mkdir(self.carpeta)
        self.fichas = os.path.join(self.carpeta, "fichas.dat")
        self.tamano_pantalla = (ancho, alto)
        self.programa = None
        self.pantalla = None
        self.tamano_max = None
        self.origen = (0, 0)
        self.centinela = 0
        self.registro = open(os.path.join(self.trabajo, "folioteca.log"), "w")

    def cerrar(self):
        if self.programa and self.programa.poll() is None:
            self.programa.kill()
            self.programa.wait()
        if self.pantalla:
            self.pantalla.cerrar()
        self.registro.close()

    # -- windows ------------------------------------------------------------

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

    def ventana(self, nombre, con=()):
        """Waits until `nombre` is the active window of the program and the
        only one visible besides `con`; checks that it is maximized and takes
        its client-area origin for the clicks that follow."""
        def es_ella():
            v, n = self.activa()
            return n == nombre and v
        try:
            v = Esperar(es_ella, 'the active window to be "%s"' % nombre)
        except Fallo:
            raise Fallo('the active window is "%s", expected "%s"' % (self.activa()[1], nombre))
        try:
            Esperar(lambda: self.visibles() == {v, *con}, "", 3)
        except Fallo:
            raise Fallo('with "%s" active, %d windows of the program are visible' %
                        (nombre, len(self.visibles())))
        if nombre != "KODEXA":
            self.origen = self.pantalla.origen(v)
            self.maximizada(v, nombre)
        return v

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

    def foto(self, nombre):
        imagen = self.pantalla.captura_quieta()
        self.pantalla.guardar(imagen, os.path.join(self.salida, nombre + ".png"))
        return imagen

    # -- controls -----------------------------------------------------------

    def clic(self, control, bajar=0):
        x, y = Centro(control)
        self.pantalla.clic(self.origen[0] + x, self.origen[1] + bajar + y)

    def escribir(self, control, texto):
        self.clic(control)
        self.pantalla.escribir(texto)

    def leer(self, control, esperado, que):
        """Focuses a box, copies all its text and checks it."""
        p = self.pantalla
        self.centinela += 1
        centinela = "<e2e %d>" % self.centinela
        p.poner_portapapeles(centinela)
        self.clic(control)
        p.teclas("ctrl+a", "ctrl+c")
        valor = Esperar(lambda: (lambda t: t if t not in (None, centinela) else None)(
            p.portapapeles()), "a copy of " + que, 3)
        if valor != esperado:
            raise Fallo("%s reads %r, expected %r" % (que, valor, esperado))

    def recorte(self, imagen, control):
        x, y, w, h = Rectangulo(control)
        return imagen.recorte(self.origen[0] + x, self.origen[1] + y, w, h)

    def barra_menu(self, imagen):
        """Height of the menu bar over the main menu's client area, found as
        the top edge of Picture1's border below it."""
        x0, y0 = self.origen
        x = x0 + Rectangulo(MENU["Picture1"])[0] + 1
        fondo = imagen.pixel(x, y0 + 60)
        y = next((y for y in range(y0 + 60, y0 + 300) if imagen.pixel(x, y) != fondo), y0)
        barra = y - y0 - Rectangulo(MENU["Picture1"])[1]
        if not 0 < barra < 60:
            raise Fallo("menu bar of %d pixels: picture box not where expected" % barra)
        return barra

    # -- the walk -----------------------------------------------------------

    def arrancar(self):
        self.pantalla.preparar_teclado(sorted({c for _, t in TEXTOS for c in t if ord(c) > 127}))
        env = dict(self.pantalla.env, QT_QPA_PLATFORM="xcb")
        self.programa = subprocess.Popen([self.binario], cwd=self.carpeta, env=env,
                                         stdout=self.registro, stderr=subprocess.STDOUT,
                                         preexec_fn=MorirConElPadre)

    def andar(self):
        self.pantalla = Pantalla(*self.tamano_pantalla, self.trabajo)
        p = self.pantalla
        self.arrancar()

        # 1. Title window; its picture opens the main menu.
        self.ventana("FOLIOTECA 1.0 FOR WINDOWS 95")
        self.foto("01-frmInicio")
        self.clic(INICIO["btnInicio"])

        # 2. Main menu, its about box, the editing menu.
        principal = self.ventana("MENÚ")
        barra = self.barra_menu(self.foto("02-frmMenu"))
        p.teclas("ctrl+c")
        self.ventana("KODEXA", con={principal})
        self.foto("03-acerca-de")
        p.teclas("Return")
        self.ventana("MENÚ")
        p.teclas("ctrl+e")
        self.ventana("EDICIÓN")
        self.foto("04-frmEdicion")
        self.clic(EDICION["btnCrear"])

        # 3. New card: the first save fails while fichas.dat is a directory,
        # and the window keeps what was typed; the second save writes it.
        crear = self.ventana("CREAR")
        for caja, texto in TEXTOS:
            self.escribir(CREAR[caja], texto)
        for caja, texto in TEXTOS:
            self.leer(CREAR[caja], texto, "CREAR " + caja)
        imagen = self.foto("05-frmCrear")
        numero_crear = self.recorte(imagen, CREAR["txtNumero"])
        os.mkdir(self.fichas)
        self.clic(CREAR["btnGuardar"])
        self.ventana("KODEXA", con={crear})
        self.foto("06-guardar-fallido")
        p.teclas("Return")
        self.ventana("CREAR")
        for caja, texto in reversed(TEXTOS):
            self.leer(CREAR[caja], texto, "CREAR " + caja + " after the failed save")
        if os.listdir(self.fichas):
            raise Fallo("the failed save left something inside fichas.dat/")
        os.rmdir(self.fichas)
        self.clic(CREAR["btnGuardar"])
        Esperar(lambda: self.contenido() == LINEA, "fichas.dat to hold the card", 5)
        self.ventana("CREAR")
        self.clic(CREAR["btnVolver"])

        # 4. Full list.
        self.ventana("MENÚ")
        p.teclas("ctrl+l")
        self.ventana("LISTA DE LIBROS")
        self.foto("07-frmLista")
        self.leer(LISTA["txtNumero"], "1", "LISTA txtNumero")
        self.clic(LISTA["btnVolver"])

        # 5. Search: first with no option chosen, then by title; open card 1.
        self.ventana("MENÚ")
        p.teclas("ctrl+b")
        buscar = self.ventana("BUSQUEDA DE FICHAS")
        self.clic(BUSCAR["btnBuscar"])
        self.ventana("KODEXA", con={buscar})
        self.foto("08-buscar-sin-opcion")
        p.teclas("Return")
        self.ventana("BUSQUEDA DE FICHAS")
        self.leer(BUSCAR["txtNtotal"], "0", "txtNtotal after the refused search")
        self.clic(BUSCAR["optTitulo"])
        self.escribir(BUSCAR["txtBuscar"], PALABRA)
        self.leer(BUSCAR["txtBuscar"], PALABRA, "txtBuscar")
        self.clic(BUSCAR["btnBuscar"])
        self.leer(BUSCAR["txtNtotal"], "1", "txtNtotal")
        self.escribir(BUSCAR["txtNlista"], "1")
        self.foto("09-frmBuscar")
        self.clic(BUSCAR["btnAbrir"])

        # The card window shows what was typed.
        self.ventana("FICHA")
        imagen = self.foto("10-frmFicha")
        for caja, texto in TEXTOS:
            self.leer(FICHA[caja], texto, "FICHA " + caja)
        # Both number boxes are disabled, so they cannot be copied: the same
        # box showing the same number looks the same.
        if self.recorte(imagen, FICHA["txtNumero"]) != numero_crear:
            raise Fallo("CREAR's number box does not look like FICHA's box showing 1")
        self.clic(FICHA["btnVolver"])

        # A second new card window shows 2, which must look different from 1.
        self.ventana("MENÚ")
        p.teclas("ctrl+e")
        self.ventana("EDICIÓN")
        self.clic(EDICION["btnCrear"])
        self.ventana("CREAR")
        imagen = p.captura_quieta()
        if self.recorte(imagen, CREAR["txtNumero"]) == numero_crear:
            raise Fallo("CREAR's number box looks the same on the second visit")
        self.clic(CREAR["btnVolver"])

        # 6. Exit, answered Yes (the default button).
        principal = self.ventana("MENÚ")
        self.clic(MENU["btnSalir"], barra)
        self.ventana("KODEXA", con={principal})
        self.foto("11-salir")
        p.teclas("Return")
        try:
            codigo = self.programa.wait(ESPERA)
        except subprocess.TimeoutExpired:
            raise Fallo("the program did not end after Yes")
        if codigo != 0:
            raise Fallo("the program ended with status %d" % codigo)
        if self.contenido() != LINEA:
            raise Fallo("fichas.dat holds %r, expected %r" % (self.contenido(), LINEA))

    def contenido(self):
        try:
            with open(self.fichas, "rb") as f:
                return f.read()
        except OSError:
            return None

    def diagnostico(self):
        try:
            if not self.pantalla:
                return
            self.pantalla.guardar(self.pantalla.captura(), os.path.join(self.salida, "fallo.png"))
        except Exception:
            pass
        self.registro.flush()
        with open(self.registro.name, errors="replace") as f:
            salida = f.read().strip()
        if salida:
            print("program output:\n" + salida, file=sys.stderr)


def Comprobar_herramientas():
    faltan = ["%s (package %s)" % (h, paquete) for h, paquete in HERRAMIENTAS.items()
              if not shutil.which(h)]
    if faltan:
        print("e2e: missing tools: %s; install them with scripts/deps test" % ", ".join(faltan),
              file=sys.stderr)
        sys.exit(1)


def main():
    if len(sys.argv) != 3:
        print(__doc__, file=sys.stderr)
        return 2
    binario, salida = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    Comprobar_herramientas()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    resultado = 0
    for ancho, alto in TAMANOS:
        carpeta = os.path.join(salida, "screenshots-%dx%d" % (ancho, alto))
        shutil.rmtree(carpeta, ignore_errors=True)
        os.makedirs(carpeta)
        inicio = time.monotonic()
        recorrido = None
        try:
            recorrido = Recorrido(binario, carpeta, ancho, alto)
            recorrido.andar()
            print("e2e %dx%d: passed in %.1f s; screenshots in %s" %
                  (ancho, alto, time.monotonic() - inicio, carpeta))
        except Fallo as e:
            print("e2e %dx%d: FAILED: %s" % (ancho, alto, e), file=sys.stderr)
            if recorrido:
                recorrido.diagnostico()
            resultado = 1
        finally:
            if recorrido:
                recorrido.cerrar()
                shutil.rmtree(recorrido.trabajo, ignore_errors=True)
    return resultado


if __name__ == "__main__":
    sys.exit(main())
