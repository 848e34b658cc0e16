#!/usr/bin/env python3
"""The shipped binary under random use.

A random walk of real mouse and keyboard input on a private X server with a
window manager: clicks on and beside every control of the visible window (the
positions come from the program's own layout tables), Tab, Shift+Tab, space,
Return, Escape, arrows, the Ctrl shortcuts, Alt+F4, typed text (Spanish
letters, commas, double quotes, line breaks, characters outside Windows-1252),
options chosen, message boxes answered either way. Now and then fichas.dat
cannot be written for a few actions (a directory, or a link to /dev/full).

After every action: the program is alive, unless it was told to end and ended
with status 0 (then it is started again); one window of the program is
visible, maximized and active, with at most one message box over it; fichas.dat
only grows, its cards are well formed and numbered 1, 2, 3...; there are as
many cards as presses of "GUARDAR" that could save; each saved card holds what
its boxes showed, byte for byte, and reads back so in "FICHA".

A seed makes a walk repeatable; a failing walk prints its seed and the last 30
actions.

Usage: mono.py FOLIOTECA [--acciones N] [--semilla S] [--salida DIR]
"""

import argparse
import collections
import os
import random
import re
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from comun import (Comprobar_herramientas, Esperar, Fallo, MorirConElPadre,  # noqa: E402
                   Pantalla, Rectangulo, Ventanas)

RAIZ = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
PANTALLA = (1024, 768)  # room beside the title picture

# Window, its caption and the source that holds its layout table.
VENTANAS = {
    "INICIO": ("FOLIOTECA 1.0 FOR WINDOWS 95", "app/frm_inicio.cpp"),
    "MENU": ("MENÚ", "app/frm_menu.cpp"),
    "EDICION": ("EDICIÓN", "app/frm_edicion.cpp"),
    "CREAR": ("CREAR", "windows/frm_crear.cpp"),
    "BUSCAR": ("BUSQUEDA DE FICHAS", "windows/frm_buscar.cpp"),
    "FICHA": ("FICHA", "windows/frm_ficha.cpp"),
    "LISTA": ("LISTA DE LIBROS", "windows/frm_lista.cpp"),
}
POR_TITULO = {t: v for v, (t, _) in VENTANAS.items()}
CAJA = "KODEXA"  # the message box's title

EDITABLES = ("Texto", "TextoDerecha", "Multilinea")
SIN_FOCO = ("Etiqueta", "Marco", "Imagen", "TextoNumero")
CAJAS_CREAR = ["txtTitulo", "txtAutor", "txtEditorial", "txtFecha", "txtPaginas", "txtCopias",
               "txtCodigo", "txtTema", "txtComentario"]
OPCIONES = ["optTitulo", "optAutor", "optEditorial", "optCodigo", "optTema"]

SALIR = "¿Desea salir?"
ACERCA = "FOLIOTECA 1.0\nCatálogo de fichas de libros"
SIN_OPCION = "DEBE ELEGIR UNA OPCIÓN DE BUSQUEDA"
NO_EXISTE = "NO EXISTE NINGUNA FICHA CON ESE NÚMERO"
NO_GUARDADA = "NO SE HA PODIDO GUARDAR LA FICHA\n"

# What the walk types. The marker ends a box's text while it is read back.
MARCA = "¶"
TROZOS = ["Cervantes", "Don Quijote", "año", "niño", "Pérez Galdós", "Cien años de soledad",
          "crónica", "¿Qué?", "¡Olé!", "«cita»", 'dijo "hola"', '""', "12 €", "pág. 3", "Ñandú",
          "ÁÉÍÓÚ", "Üe", "cigüeña", "1.ª ed.", "“curva”", "‘a’", "…", "–",
          "x", "7", "Madrid, 1981", ",", '"', " ", "  "]
AJENOS = ["ł", "Ω", "→", "ő", "ā", "✓", "😀"]  # not in Windows-1252
SEPARADORES = [" ", ", ", ",", '"', "\n", "", " \n"]


def Teclado():
    """Every non-ASCII character the walk may type, each given a key."""
    todos = "".join(TROZOS) + "".join(AJENOS) + MARCA
    return sorted({c for c in todos if ord(c) > 127})


def Almacenable(texto):
    try:
        texto.encode("cp1252")
        return True
    except UnicodeEncodeError:
        return False


def Tablas():
    """The layout tables, read from the program's sources: window -> list of
    (name, kind, left, top, width, height, tab) in table order."""
    patron = re.compile(r'\{"(\w+)",\s*Tipo::(\w+),\s*"(?:[^"\\]|\\.)*",\s*(-?\d+),\s*(-?\d+),'
                        r'\s*(-?\d+),\s*(-?\d+),\s*(-?\d+)\s*(?:,\s*(?:"(?:[^"\\]|\\.)*"|\w+)\s*)?\}')
    tablas = {}
    for ventana, (_, fuente) in VENTANAS.items():
        with open(os.path.join(RAIZ, fuente), encoding="utf-8") as f:
            texto = f.read()
        filas = [(m.group(1), m.group(2)) + tuple(int(m.group(i)) for i in range(3, 8))
                 for m in patron.finditer(texto)]
        if not filas:
            raise Fallo("no layout table found in " + fuente)
        tablas[ventana] = filas
    return tablas


def Analizar(datos):
    """The cards of fichas.dat as written by the program: (number, nine byte
    strings) each, and the bytes after the last complete card. Raises Fallo at
    a card that is not well formed."""
    fichas = []
    i, n = 0, len(datos)

    def mal(que):
        raise Fallo("card %d of fichas.dat: %s at %r" % (len(fichas) + 1, que, datos[i:i + 60]))
    while i < n:
        inicio = i
        m = NUMERO.match(datos, i)
        if not m:
            if re.fullmatch(rb"\d*", datos[i:]):
                return fichas, datos[inicio:]
            mal("no number")
        numero = int(m.group(1))
        i = m.end()
        textos = []
        for k in range(9):
            if i >= n:
                return fichas, datos[inicio:]
            if datos[i] != ord('"'):
                mal("text %d not quoted" % (k + 1))
            i += 1
            texto = bytearray()
            while True:
                j = datos.find(b'"', i)
                if j < 0 or j + 1 >= n:
                    return fichas, datos[inicio:]
                texto += datos[i:j]
                i = j + 1
                if datos[i] != ord('"'):
                    break
                texto += b'"'  # a doubled quote inside the text
                i += 1
            fin = b"," if k < 8 else b"\r\n"
            if not datos.startswith(fin, i):
                if fin.startswith(datos[i:]):
                    return fichas, datos[inicio:]
                mal("text %d followed by something else" % (k + 1))
            i += len(fin)
            textos.append(bytes(texto))
        fichas.append((numero, textos))
    return fichas, b""


NUMERO = re.compile(rb"(\d+),")


def Bytes(texto):
    """A box's text as the file holds it."""
    return texto.replace("\n", "\r\n").encode("cp1252")


class Mono(Ventanas):
    def __init__(self, binario, semilla, trabajo, pausa):
        self.binario = binario
        self.semilla = semilla
        self.azar = random.Random(semilla)
        self.trabajo = trabajo
        self.pausa = pausa
        self.carpeta = os.path.join(trabajo, "carpeta")
        os.mkdir(self.carpeta)
        self.fichas_dat = os.path.join(self.carpeta, "fichas.dat")
        self.aparte = os.path.join(trabajo, "fichas.dat.aparte")
        self.tablas = Tablas()
        self.registro = open(os.path.join(trabajo, "folioteca.log"), "w")
        self.historial = collections.deque(maxlen=30)
        self.cifras = collections.Counter()
        self.barra = None
        self.ventana_x = None
        self.nombres = {}  # window id -> title
        self.centinela = 0
        self.contenido = b""
        self.fichas = []
        self.guardadas = 0  # presses of GUARDAR that could save
        self.fallo = None  # (kind, actions left) while fichas.dat cannot be written
        self.terminando = False
        self.reiniciar_modelo()

    # -- the model ------------------------------------------------------------

    def reiniciar_modelo(self):
        self.ventana = None
        self.foco = None  # control with the focus; None when unknown
        self.caja = None  # open message box: {"texto", "sino", "foco"}
        self.menu_cargado = False
        self.edicion_cargada = False
        self.foco_guardado = {}
        self.nuevo_crear()
        self.nuevo_buscar()

    def nuevo_crear(self):
        self.tocadas = set()  # CREAR boxes that may hold text
        self.tecleados = set()  # characters typed into CREAR
        self.instantanea = {c: "" for c in CAJAS_CREAR}  # box texts, while known
        self.releer_tras_caja = False

    def nuevo_buscar(self):
        self.opcion = None  # None: none selected; "?": unknown
        # Once an option has had the focus, Qt leaves the Tab stop on that one
        # only, so the group is one stop: the option Tab stops at (None: every
        # option, none has had the focus yet; "?": unknown).
        self.opcion_tab = None
        self.nlista = ""  # text of txtNlista; None when unknown

    def tabla(self, ventana=None):
        return self.tablas[ventana or self.ventana]

    def control(self, nombre):
        return next(c for c in self.tabla() if c[0] == nombre)

    def tipo(self, nombre):
        return self.control(nombre)[1]

    def cadena(self):
        focos = [c for c in self.tabla() if c[1] not in SIN_FOCO]
        if self.ventana == "BUSCAR" and self.opcion_tab not in (None, "?"):
            focos = [c for c in focos if c[1] != "Opcion" or c[0] == self.opcion_tab]
        return [c[0] for c in sorted(focos, key=lambda c: c[6])]

    def mostrar(self, ventana, nueva):
        """The window becomes the visible one: focus on its first control when
        newly loaded, back where it was when shown again."""
        self.ventana = ventana
        self.foco = self.cadena()[0] if nueva else self.foco_guardado.get(ventana)

    def ocultar(self):
        self.foco_guardado[self.ventana] = self.foco

    def al_menu(self):
        nuevo = not self.menu_cargado
        self.menu_cargado = True
        self.mostrar("MENU", nuevo)

    def pulsar(self, nombre, con_raton):
        """What pressing a button does; returns what to wait for."""
        v = self.ventana
        if v == "INICIO" and nombre == "btnInicio" and con_raton:
            self.menu_cargado = True
            self.mostrar("MENU", True)
            return "ventana"
        if v == "MENU":
            if nombre == "btnEdicion":
                self.ocultar()
                nueva = not self.edicion_cargada
                self.edicion_cargada = True
                self.mostrar("EDICION", nueva)
                return "ventana"
            if nombre == "btnBuscar":
                self.ocultar()
                self.nuevo_buscar()
                self.mostrar("BUSCAR", True)
                return "ventana"
            if nombre == "btnLista":
                self.menu_cargado = False
                self.mostrar("LISTA", True)
                return "ventana"
            if nombre == "btnSalir":
                self.abrir_caja(SALIR, sino=True)
                return "caja"
            return None
        if v == "EDICION":
            if nombre == "btnCrear":
                self.ocultar()
                self.nuevo_crear()
                self.mostrar("CREAR", True)
                return "ventana"
            if nombre == "btnVolver":
                self.edicion_cargada = False
                self.mostrar("MENU", False)
                return "ventana"
            return None
        if v == "CREAR":
            if nombre == "btnGuardar":
                return "guardar"
            if nombre == "btnVolver":
                self.al_menu()
                return "ventana"
            return None
        if v == "BUSCAR":
            if nombre == "btnBuscar":
                if self.opcion is None:
                    self.abrir_caja(SIN_OPCION)
                    return "caja"
                return "buscar?" if self.opcion == "?" else None
            if nombre == "btnAbrir":
                return "abrir"
            if nombre == "btnVolver":
                self.al_menu()
                return "ventana"
            return None
        if v in ("FICHA", "LISTA") and nombre == "btnVolver":
            self.al_menu()
            return "ventana"
        return None

    def cerrar_marco(self):
        """Alt+F4 on the window: the title window ends the program, the main
        menu asks the exit question, the others do what their return does."""
        v = self.ventana
        if v == "INICIO":
            return "fin"
        if v == "MENU":
            return self.pulsar("btnSalir", True)
        return self.pulsar("btnVolver", True)

    def abrir_caja(self, texto, sino=False):
        self.caja = {"texto": texto, "sino": sino, "foco": "si"}

    # -- observing the program ------------------------------------------------

    def observar(self):
        """(titles of the program's visible windows other than message boxes,
        number of message boxes, title of the active window): two xdotool
        runs, since each run costs more than all it does."""
        p = self.pantalla
        nombres = []
        for v in self.visibles():
            if v not in self.nombres:
                # (one run of the program never reuses a window id; the next may)
                self.nombres[v] = p.ejecutar("xdotool", "getwindowname", v,
                                             comprobar=False).stdout.decode().strip()
            nombres.append(self.nombres[v])
        titulos = [t for t in nombres if t != CAJA]
        r = p.ejecutar("xdotool", "getactivewindow", "getwindowname", "getwindowpid",
                       comprobar=False).stdout.decode().splitlines()
        activa = r[0] if len(r) == 2 and r[1] == str(self.programa.pid) else None
        return titulos, len(nombres) - len(titulos), activa

    def esperado(self):
        titulo = VENTANAS[self.ventana][0]
        return [titulo], (1 if self.caja else 0), (CAJA if self.caja else titulo)

    def coincide(self):
        visto = self.observar()
        self.ultimo_visto = visto
        return visto == self.esperado()

    def sincronizar(self, cambio):
        """Waits until the screen shows what the model expects; a window that
        appeared is checked to be maximized and gives the origin for clicks."""
        self.vivo()
        if not cambio:
            time.sleep(self.pausa)
        self.ultimo_visto = None
        try:
            Esperar(lambda: self.vivo() and self.coincide(), "the screen the walk expects",
                    self.espera if cambio else self.espera / 4)
        except Fallo:
            raise Fallo("expected window %r%s; the screen shows windows %r, %d message box(es), "
                        "active %r" % ((VENTANAS[self.ventana][0],
                                        " with a message box" if self.caja else "") +
                                       tuple(self.ultimo_visto or ([], 0, None))))
        if cambio or self.ventana_x is None:
            titulo = VENTANAS[self.ventana][0]
            p = self.pantalla
            v = next(v for v in self.visibles() if self.nombres.get(v) == titulo)
            self.ventana_x = v
            self.origen = p.origen(v)
            self.maximizada(v, titulo)
            if self.ventana == "MENU" and self.barra is None:
                time.sleep(0.3)
                self.barra = self.barra_menu(p.captura_quieta())
        elif self.cifras["acciones"] % 10 == 0:
            estado = self.pantalla.estado(self.ventana_x)
            if estado is not None and "_NET_WM_STATE_MAXIMIZED_HORZ" not in estado:
                raise Fallo('"%s" is no longer maximized' % VENTANAS[self.ventana][0])

    def vivo(self):
        codigo = self.programa.poll()
        if codigo is not None:
            raise Fallo("the program ended with status %d" % codigo)
        return True

    # -- input ----------------------------------------------------------------

    def punto(self, x, y):
        """A point of the client area (pixels) on the screen."""
        bajar = self.barra if self.ventana == "MENU" else 0
        return self.origen[0] + x, self.origen[1] + bajar + y

    def clic_en(self, x, y):
        # One xdotool run: the server takes the move before the press.
        self.pantalla.xdo("mousemove", *map(str, self.punto(x, y)), "click", "1")

    def clic_control(self, nombre):
        x, y, w, h = Rectangulo(self.control(nombre)[2:6])
        self.clic_en(x + w // 2, y + h // 2)

    def bajo(self, x, y):
        """The control a click at x, y reaches: the last one in table order that
        holds the point, a frame only when nothing else does."""
        encima = None
        marco = None
        for c in self.tabla():
            cx, cy, cw, ch = Rectangulo(c[2:6])
            if cx <= x < cx + cw and cy <= y < cy + ch:
                if c[1] == "Marco":
                    marco = c
                else:
                    encima = c
        return encima or marco

    def area(self):
        ancho, alto = self.tamano_max
        if self.ventana == "MENU":
            alto -= self.barra
        return ancho, alto

    def escribir(self, texto):
        self.pantalla.escribir(texto)

    def copiar(self, que, vacio_posible=False):
        """Ctrl+A, Ctrl+C on what has the focus; the text copied. When nothing
        can be copied (an empty box), the clipboard keeps its sentinel."""
        p = self.pantalla
        p.teclas("ctrl+a", "ctrl+c")
        return self.leer_portapapeles(que, vacio_posible)

    def poner_centinela(self):
        self.centinela += 1
        centinela = "<mono %d>" % self.centinela
        self.pantalla.poner_portapapeles(centinela)
        return centinela

    def leer_portapapeles(self, que, vacio_posible=False):
        centinela = "<mono %d>" % self.centinela
        p = self.pantalla

        def copiado():
            t = p.portapapeles()
            return t if t not in (None, centinela) else None
        if vacio_posible:
            fin = time.monotonic() + max(0.4, 4 * self.pausa)
            while time.monotonic() < fin:
                t = copiado()
                if t is not None:
                    return t
                time.sleep(0.03)
            return ""
        return Esperar(copiado, "a copy of " + que, self.espera)

    def leer_crear(self, nombre):
        """The text of a box of CREAR: a marker typed at its end makes the copy
        never empty; it is taken out again."""
        self.poner_centinela()
        self.clic_control(nombre)
        self.foco = nombre
        # (Ctrl+End for the comment; a single-line box knows only End)
        self.pantalla.teclas("ctrl+End", "End")
        self.escribir(MARCA)
        valor = self.copiar("CREAR " + nombre)
        self.pantalla.teclas("ctrl+End", "End", "BackSpace")
        if not valor.endswith(MARCA):
            raise Fallo("CREAR %s copied as %r, without the marker typed at its end" %
                        (nombre, valor))
        return valor[:-len(MARCA)]

    def leer_cajas_crear(self):
        textos = {}
        for nombre in CAJAS_CREAR:
            if nombre not in self.tocadas:
                textos[nombre] = ""
                continue
            t = self.leer_crear(nombre)
            if not Almacenable(t):
                raise Fallo("CREAR %s shows %r, which fichas.dat cannot hold" % (nombre, t))
            ajenos = set(t) - self.tecleados - {"\n"}
            if ajenos:
                raise Fallo("CREAR %s shows %r, which the walk never typed" % (nombre, ajenos))
            if "\n" in t and self.tipo(nombre) != "Multilinea":
                raise Fallo("CREAR %s shows a line break" % nombre)
            textos[nombre] = t
        self.cifras["lecturas"] += 1
        self.instantanea = textos
        return textos

    # -- fichas.dat -----------------------------------------------------------

    def leer_archivo(self):
        ruta = self.aparte if self.fallo else self.fichas_dat
        try:
            with open(ruta, "rb") as f:
                return f.read()
        except FileNotFoundError:
            return b""

    def comprobar_archivo(self):
        datos = self.leer_archivo()
        if not datos.startswith(self.contenido):
            raise Fallo("fichas.dat changed instead of growing")
        fichas, resto = Analizar(datos)
        if resto:
            time.sleep(0.5)  # a save may be under way
            datos = self.leer_archivo()
            fichas, resto = Analizar(datos)
            if resto:
                raise Fallo("fichas.dat ends in an incomplete card: %r" % resto[:80])
        for k, (numero, _) in enumerate(fichas):
            if numero != k + 1:
                raise Fallo("card %d of fichas.dat is numbered %d" % (k + 1, numero))
        self.contenido = datos
        self.fichas = fichas
        if len(fichas) != self.guardadas:
            raise Fallo("fichas.dat holds %d cards after %d saves" % (len(fichas), self.guardadas))

    def empezar_fallo(self):
        tipo = self.azar.choice(["carpeta", "lleno"])
        if os.path.lexists(self.fichas_dat):
            os.rename(self.fichas_dat, self.aparte)
        else:
            open(self.aparte, "wb").close()
        if tipo == "carpeta":
            os.mkdir(self.fichas_dat)
        else:
            os.symlink("/dev/full", self.fichas_dat)
        self.fallo = [tipo, self.azar.randint(3, 12)]
        self.cifras["fallos"] += 1
        self.historial.append("(fichas.dat made unwritable: %s)" % tipo)

    def acabar_fallo(self):
        if os.path.isdir(self.fichas_dat) and not os.path.islink(self.fichas_dat):
            if os.listdir(self.fichas_dat):
                raise Fallo("a failed save left something inside fichas.dat/")
            os.rmdir(self.fichas_dat)
        else:
            os.remove(self.fichas_dat)
        os.rename(self.aparte, self.fichas_dat)
        self.fallo = None
        self.historial.append("(fichas.dat writable again)")

    # -- the program ----------------------------------------------------------

    def arrancar(self):
        env = dict(self.pantalla.env, QT_QPA_PLATFORM="xcb")
        self.registro.write("--- start %d\n" % (self.cifras["reinicios"] + 1))
        self.registro.flush()
        self.programa = subprocess.Popen([self.binario], cwd=self.carpeta, env=env,
                                         stdout=self.registro, stderr=subprocess.STDOUT,
                                         preexec_fn=MorirConElPadre)
        self.reiniciar_modelo()
        self.nombres = {}
        self.mostrar("INICIO", True)
        self.sincronizar(True)

    def fin(self):
        """The program was told to end: it must end with status 0."""
        try:
            codigo = self.programa.wait(self.espera)
        except subprocess.TimeoutExpired:
            raise Fallo("the program did not end")
        if codigo != 0:
            raise Fallo("the program ended with status %d" % codigo)
        if self.terminando:
            return
        self.cifras["reinicios"] += 1
        self.ventana_x = None
        self.arrancar()

    # -- the walk -------------------------------------------------------------

    def texto_al_azar(self, con_blancos):
        partes = []
        for _ in range(self.azar.randint(1, 3)):
            r = self.azar.random()
            if r < 0.15:
                partes.append(self.azar.choice(AJENOS))
            else:
                partes.append(self.azar.choice(TROZOS))
            partes.append(self.azar.choice(SEPARADORES))
        texto = "".join(partes)
        if not con_blancos:
            texto = "".join(c for c in texto if c not in " \n")
        return texto.lstrip("-") or "x"

    def editable(self):
        return self.foco is not None and self.tipo(self.foco) in EDITABLES

    def acciones(self):
        """The actions open to the walk now, with their weights."""
        a = []
        if self.caja:
            a += [(6, "Return"), (4, "space"), (3, "Tab"), (2, "Escape"), (2, "alt+F4"),
                  (1, "Left"), (1, "Right"), (1, "ctrl+c"), (2, "clic"), (1, "teclear")]
            return a
        a += [(30, "clic"), (6, "clic al lado"), (5, "Tab"), (3, "shift+Tab"), (2, "Return"),
              (2, "Escape"), (2, "flecha"), (1, "alt+F4")]
        if self.foco is not None:
            a.append((4, "space"))
        a.append((14 if self.editable() else 3, "teclear"))
        if self.ventana == "MENU":
            a += [(3, "ctrl+e"), (2, "ctrl+b"), (1, "ctrl+p"), (1, "ctrl+l"), (1, "ctrl+o"),
                  (1, "ctrl+x"), (1, "ctrl+c")]
        else:
            a += [(1, self.azar.choice(["ctrl+e", "ctrl+b", "ctrl+p", "ctrl+l", "ctrl+o",
                                        "ctrl+x", "ctrl+c"]))]
        if self.ventana == "CREAR":
            a += [(14, "guardar"), (10, "rellenar")]
        if self.ventana == "BUSCAR":
            a += [(6, "pedir ficha"), (3, "buscar")]
        return a

    # Controls a plain click favours, so that the walk gets somewhere.
    PREFERIDOS = {"btnInicio": 3, "btnEdicion": 6, "btnCrear": 8, "btnBuscar": 3,
                  "btnAbrir": 3, "btnVolver": 3, "btnSalir": 1, "btnLista": 2}

    def paso(self):
        total = self.acciones()
        eleccion = self.azar.choices([n for _, n in total], weights=[w for w, _ in total])[0]
        getattr(self, "hacer_" + eleccion.replace(" ", "_").replace("+", "_"),
                lambda: self.tecla(eleccion))()
        self.cifras["acciones"] += 1

    def anotar(self, texto):
        where = self.ventana + (" + box" if self.caja else "")
        self.historial.append("%5d %-17s %s" % (self.cifras["acciones"] + 1, where, texto))

    def hacer_clic(self):
        if self.caja:
            # A click on the window under a message box reaches nothing.
            ancho, alto = self.area()
            caja = self.rectangulo_caja()
            for _ in range(100):
                x, y = self.azar.randrange(ancho), self.azar.randrange(alto)
                sx, sy = self.punto(x, y)
                if not (caja[0] <= sx < caja[2] and caja[1] <= sy < caja[3]):
                    break
            else:
                self.sincronizar(False)
                return
            self.anotar("click at %d,%d under the box" % (x, y))
            self.clic_en(x, y)
            self.sincronizar(False)
            return
        tabla = self.tabla()
        pesos = [self.PREFERIDOS.get(c[0], 1) for c in tabla]
        c = self.azar.choices(tabla, weights=pesos)[0]
        x, y, w, h = Rectangulo(c[2:6])
        ancho, alto = self.area()
        px, py = min(x + w // 2, ancho - 1), min(y + h // 2, alto - 1)
        self.clic_punto(px, py, "click %s" % c[0])

    def hacer_clic_al_lado(self):
        c = self.azar.choice(self.tabla())
        x, y, w, h = Rectangulo(c[2:6])
        ancho, alto = self.area()
        d = self.azar.randint(2, 8)
        px, py = self.azar.choice([(x - d, y + h // 2), (x + w + d, y + h // 2),
                                   (x + w // 2, y - d), (x + w // 2, y + h + d),
                                   (self.azar.randrange(ancho), self.azar.randrange(alto))])
        px, py = max(0, min(px, ancho - 1)), max(0, min(py, alto - 1))
        self.clic_punto(px, py, "click beside %s" % c[0])

    def clic_punto(self, x, y, que):
        c = self.bajo(x, y)
        nombre = c[0] if c else None
        self.anotar("%s at %d,%d (%s)" % (que, x, y, nombre or "background"))
        self.clic_en(x, y)
        if c is None or c[1] in SIN_FOCO:
            self.sincronizar(False)
            return
        self.foco = nombre
        if c[1] == "Opcion":
            self.opcion = nombre
            self.opcion_tab = nombre
        if c[1] == "Boton" or nombre == "btnInicio":
            self.despues(self.pulsar(nombre, True), nombre)
        else:
            self.sincronizar(False)

    def rectangulo_caja(self):
        """The message box on the screen, with a margin for its frame."""
        v = next(v for v in self.visibles() if self.nombres.get(v) == CAJA)
        g = dict(l.split("=") for l in self.pantalla.xdo("getwindowgeometry", "--shell",
                                                         v).split())
        x, y, w, h = (int(g[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
        return x - 40, y - 60, x + w + 40, y + h + 40

    def tecla(self, tecla):
        self.anotar("key " + tecla)
        self.pantalla.teclas(tecla)
        if self.caja:
            self.tecla_en_caja(tecla)
            return
        efecto = None
        if tecla in ("Tab", "shift+Tab"):
            if self.foco is not None:
                cadena = self.cadena()
                paso = 1 if tecla == "Tab" else -1
                self.foco = cadena[(cadena.index(self.foco) + paso) % len(cadena)]
                if self.tipo(self.foco) == "Opcion":
                    if self.opcion_tab == "?":
                        self.foco = None  # which option keeps the stop is unknown
                    else:
                        self.opcion_tab = self.foco
        elif tecla == "space":
            tipo = self.tipo(self.foco)
            if tipo == "Boton":
                efecto = self.pulsar(self.foco, False)
            elif tipo == "Opcion":
                self.opcion = self.foco
            elif tipo in EDITABLES:
                self.tecleado(" ")
        elif tecla == "Return":
            if self.foco is None or self.tipo(self.foco) == "Multilinea":
                self.tecleado("\n")
        elif tecla.startswith("ctrl+") and self.ventana == "MENU":
            efecto = {"ctrl+e": lambda: self.pulsar("btnEdicion", False),
                      "ctrl+b": lambda: self.pulsar("btnBuscar", False),
                      "ctrl+l": lambda: self.pulsar("btnLista", False),
                      "ctrl+x": lambda: self.pulsar("btnSalir", False),
                      "ctrl+c": lambda: self.abrir_caja(ACERCA) or "caja"}.get(
                          tecla, lambda: None)()
        elif tecla.startswith("ctrl+"):
            if tecla == "ctrl+x":
                self.tecleado("")  # may cut text
        elif tecla == "alt+F4":
            efecto = self.cerrar_marco()
        self.despues(efecto, self.foco)

    def hacer_flecha(self):
        tecla = self.azar.choice(["Left", "Right", "Up", "Down"])
        self.anotar("key " + tecla)
        self.pantalla.teclas(tecla)
        tipo = self.tipo(self.foco) if self.foco else None
        if tipo not in ("Texto", "TextoDerecha", "TextoLectura", "Multilinea",
                        "MultilineaLectura", "Lista"):
            # Buttons, options and pictures pass the focus on; options also
            # choose the one they reach.
            self.foco = None
            if self.ventana == "BUSCAR":
                self.opcion = "?" if self.opcion is not None or tipo in (None, "Opcion") \
                    else self.opcion
                if tipo in (None, "Opcion"):
                    self.opcion_tab = "?"
        self.sincronizar(False)

    def tecleado(self, texto):
        """Text reached the focused control (or the one the walk cannot name)."""
        if self.ventana == "CREAR":
            cajas = [self.foco] if self.foco else CAJAS_CREAR
            for c in cajas:
                if c in CAJAS_CREAR:
                    self.tocadas.add(c)
                    self.instantanea = None
            self.tecleados |= set(texto)
        if self.ventana == "BUSCAR" and self.foco in (None, "txtNlista"):
            self.nlista = None

    def hacer_teclear(self):
        if self.caja:
            texto = self.texto_al_azar(False)
            self.anotar("type %r" % texto)
            self.escribir(texto)
            self.sincronizar(False)
            return
        texto = self.texto_al_azar(self.editable())
        self.anotar("type %r" % texto)
        self.escribir(texto)
        if self.editable() or self.foco is None:
            self.tecleado(texto)
        self.sincronizar(False)

    def hacer_rellenar(self):
        """CREAR: click a box and type into it."""
        nombre = self.azar.choice(CAJAS_CREAR)
        self.clic_punto(*self.centro(nombre), "click %s" % nombre)
        self.hacer_teclear()

    def centro(self, nombre):
        x, y, w, h = Rectangulo(self.control(nombre)[2:6])
        return x + w // 2, y + h // 2

    def hacer_guardar(self):
        if self.instantanea is None and self.azar.random() < 0.7:
            self.anotar("read back the boxes")
            self.leer_cajas_crear()
        if self.foco == "btnGuardar" and self.azar.random() < 0.5:
            self.tecla("space")
        else:
            self.clic_punto(*self.centro("btnGuardar"), "click btnGuardar")

    def hacer_pedir_ficha(self):
        """BUSCAR: type a card number into txtNlista."""
        self.clic_punto(*self.centro("txtNlista"), "click txtNlista")
        n = len(self.fichas)
        opciones = [str(n), str(n), str(max(1, n - self.azar.randint(0, 5))), "0", str(n + 1),
                    " %d " % max(n, 1), "007", "abc", ""]
        texto = self.azar.choice(opciones)
        self.anotar("select all, type %r" % texto)
        self.pantalla.teclas("ctrl+a", "BackSpace")
        if texto:
            self.escribir(texto)
        self.nlista = texto
        self.sincronizar(False)
        if self.azar.random() < 0.8:
            self.clic_punto(*self.centro("btnAbrir"), "click btnAbrir")

    def hacer_buscar(self):
        if self.azar.random() < 0.7:
            op = self.azar.choice(OPCIONES)
            self.clic_punto(*self.centro(op), "click " + op)
        self.clic_punto(*self.centro("btnBuscar"), "click btnBuscar")

    def tecla_en_caja(self, tecla):
        caja = self.caja
        cierra = tecla in ("Return", "space") or \
            (not caja["sino"] and tecla in ("Escape", "alt+F4"))
        if tecla == "Tab" and caja["foco"]:
            caja["foco"] = "no" if caja["foco"] == "si" else "si"
        if tecla in ("Left", "Right"):
            caja["foco"] = None
        if not cierra:
            self.sincronizar(False)
            return
        if caja["sino"]:
            self.cifras["respuestas"] += 1
            if caja["foco"] == "si":
                self.anotar("(answered Sí)")
                self.fin()
                return
            if caja["foco"] is None:
                # Either answer: the program ends, or the box goes and the
                # main menu is active again.
                menu = VENTANAS["MENU"][0]
                Esperar(lambda: self.programa.poll() is not None or
                        self.observar() == ([menu], 0, menu), "the answer to take effect",
                        self.espera)
                time.sleep(2 * self.pausa)  # an ending program unmaps its windows one by one
                if self.programa.poll() is not None or self.observar()[0] != [menu]:
                    self.anotar("(answered Sí)")
                    self.fin()
                    return
            self.anotar("(answered No)")
        self.caja = None
        self.sincronizar(True)
        if self.releer_tras_caja:
            self.releer_tras_caja = False
            antes = self.instantanea
            if antes is not None:
                despues = self.leer_cajas_crear()
                if despues != antes:
                    raise Fallo("after the failed save the boxes hold %r, before %r" %
                                (despues, antes))

    def despues(self, efecto, nombre):
        """Waits for what the model expects of an action and checks it."""
        if efecto is None:
            self.sincronizar(False)
        elif efecto == "fin":
            self.fin()
        elif efecto == "ventana":
            self.sincronizar(True)
        elif efecto == "caja":
            self.sincronizar(True)
            self.comprobar_caja()
        elif efecto == "guardar":
            self.guardar()
        elif efecto == "buscar?":
            time.sleep(self.pausa * 2)
            if self.observar()[1]:
                self.abrir_caja(SIN_OPCION)
                self.sincronizar(True)
                self.comprobar_caja()
            else:
                self.sincronizar(False)
        elif efecto == "abrir":
            self.abrir()

    def comprobar_caja(self):
        # Qt offers the prompt of a message box to no one outside the program:
        # which box it is follows from the model and from what answering does.
        self.cifras["cajas"] += 1
        self.anotar("(message box: %r)" % self.caja["texto"])

    def guardar(self):
        if self.fallo:
            self.abrir_caja(NO_GUARDADA)
            self.sincronizar(True)
            self.comprobar_caja()
            self.cifras["guardados fallidos"] += 1
            self.releer_tras_caja = True
            return
        antes = len(self.fichas)
        self.guardadas += 1
        Esperar(lambda: len(Analizar(self.leer_archivo())[0]) > antes, "the card to be saved",
                self.espera)
        self.sincronizar(False)
        self.comprobar_archivo()
        textos = self.instantanea if self.instantanea is not None else self.leer_cajas_crear()
        numero, guardados = self.fichas[-1]
        esperados = [Bytes(textos[c]) for c in CAJAS_CREAR]
        if guardados != esperados:
            raise Fallo("card %d holds %r; its boxes showed %r" % (numero, guardados, esperados))
        self.cifras["guardados"] += 1

    def abrir(self):
        texto = self.nlista
        n = len(self.fichas)
        if texto is None:
            time.sleep(self.pausa * 3)
            _, cajas, activa = self.observar()
            if cajas:
                self.abrir_caja(NO_EXISTE)
                self.sincronizar(True)
                self.comprobar_caja()
            elif activa == VENTANAS["FICHA"][0]:
                self.mostrar("FICHA", True)
                self.sincronizar(True)
            else:
                self.sincronizar(False)
            return
        if texto == "":
            self.sincronizar(False)
            return
        numero = int(texto) if texto.strip().isdigit() else None
        if numero is None or not 1 <= numero <= n or self.fallo:
            self.abrir_caja(NO_EXISTE)
            self.sincronizar(True)
            self.comprobar_caja()
            return
        self.mostrar("FICHA", True)
        self.sincronizar(True)
        self.comprobar_ficha(numero)

    def comprobar_ficha(self, numero):
        """FICHA shows the card byte for byte, as read from the file."""
        _, textos = self.fichas[numero - 1]
        for nombre, dato in zip(CAJAS_CREAR, textos):
            esperado = dato.decode("cp1252").replace("\r\n", "\n")
            self.poner_centinela()
            self.clic_control(nombre)
            self.foco = nombre
            valor = self.copiar("FICHA " + nombre, vacio_posible=not esperado)
            if valor != esperado:
                raise Fallo("FICHA %s of card %d shows %r, the file holds %r" %
                            (nombre, numero, valor, esperado))
        self.cifras["fichas abiertas"] += 1
        self.anotar("(card %d read back in FICHA)" % numero)

    def comprobar(self):
        self.vivo()
        self.comprobar_archivo()
        if self.fallo:
            self.fallo[1] -= 1
            if self.fallo[1] <= 0 and not self.caja:
                self.acabar_fallo()
        elif self.azar.random() < (1 / 10 if self.ventana == "CREAR" else 1 / 60):
            self.empezar_fallo()

    def andar(self, acciones):
        self.pantalla = Pantalla(PANTALLA[0], PANTALLA[1], self.trabajo)
        self.pantalla.preparar_teclado(Teclado())
        self.arrancar()
        while self.cifras["acciones"] < acciones:
            self.paso()
            self.comprobar()
        self.salir()

    def salir(self):
        """Ends the program the way a user does, so that it ends with status 0
        (and its leak check runs)."""
        if self.fallo:
            self.acabar_fallo()
        self.terminando = True
        while self.programa.poll() is None:
            if self.caja:
                # Return answers with the focused button, which Tab may have
                # moved to No: the model knows which (or waits for either), and
                # after a No the loop asks again.
                self.tecla("Return")
            elif self.ventana == "INICIO":
                self.tecla("alt+F4")
            elif self.ventana == "MENU":
                self.tecla("ctrl+x")
            else:
                self.clic_punto(*self.centro("btnVolver"), "click btnVolver")

    def informe(self):
        c = self.cifras
        return ("%d actions, %d cards saved, %d failed saves, %d faults, %d restarts, "
                "%d message boxes, %d cards read back in FICHA" %
                (c["acciones"], c["guardados"], c["guardados fallidos"], c["fallos"],
                 c["reinicios"], c["cajas"], c["fichas abiertas"]))

    def diagnostico(self, salida):
        try:
            if self.pantalla:
                self.pantalla.guardar(self.pantalla.captura(), os.path.join(salida, "fallo.png"))
                print("screenshot: " + os.path.join(salida, "fallo.png"), file=sys.stderr)
        except Exception:
            pass
        print("last actions:\n" + "\n".join(self.historial), file=sys.stderr)
        self.registro.flush()
        with open(self.registro.name, errors="replace") as f:
            texto = f.read().strip()
        if texto:
            print("program output:\n" + texto[-20000:], file=sys.stderr)


def Con_sanitizadores(binario):
    r = subprocess.run(["ldd", binario], capture_output=True, text=True)
    return "libasan" in r.stdout


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("binario")
    parser.add_argument("--acciones", type=int, default=300)
    parser.add_argument("--semilla", type=int, default=None)
    parser.add_argument("--salida", default=None, help="where a failing walk leaves its screenshot")
    args = parser.parse_args()
    Comprobar_herramientas()
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(1))
    semilla = args.semilla if args.semilla is not None else random.SystemRandom().randrange(10**9)
    binario = os.path.abspath(args.binario)
    asan = Con_sanitizadores(binario)
    trabajo = tempfile.mkdtemp(prefix="folioteca-mono-")
    salida = os.path.abspath(args.salida or trabajo)
    os.makedirs(salida, exist_ok=True)
    mono = Mono(binario, semilla, trabajo, pausa=0.12 if asan else 0.04)
    mono.espera = 30.0 if asan else 10.0
    inicio = time.monotonic()
    print("mono: seed %d, %d actions%s" % (semilla, args.acciones, " (sanitizers)" if asan else ""),
          flush=True)
    resultado = 0
    try:
        mono.andar(args.acciones)
        print("mono: passed in %.0f s: %s" % (time.monotonic() - inicio, mono.informe()))
    except Fallo as e:
        print("mono: FAILED after %.0f s, seed %d: %s" % (time.monotonic() - inicio, semilla, e),
              file=sys.stderr)
        print("mono: " + mono.informe(), file=sys.stderr)
        print("repeat with: %s %s --acciones %d --semilla %d" %
              (sys.argv[0], args.binario, args.acciones, semilla), file=sys.stderr)
        mono.diagnostico(salida)
        resultado = 1
    finally:
        mono.cerrar()
        if resultado == 0:
            shutil.rmtree(trabajo, ignore_errors=True)
        else:
            print("mono: fichas.dat and the program's output are in " + trabajo, file=sys.stderr)
    return resultado


if __name__ == "__main__":
    sys.exit(main())
