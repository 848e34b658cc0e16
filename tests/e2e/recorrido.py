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

import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from comun import (ESPERA, Comprobar_herramientas, Esperar, Fallo,  # noqa: E402
                   MorirConElPadre, Pantalla, Rectangulo, Ventanas)

TAMANOS = [(800, 600), (1024, 768)]

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

class Recorrido(Ventanas):
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

    # -- windows ------------------------------------------------------------

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

    def foto(self, nombre):
        imagen = self.pantalla.captura_quieta()
        self.pantalla.guardar(imagen, os.path.join(self.salida, nombre + ".png"))
        return imagen

    # -- controls -----------------------------------------------------------

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
