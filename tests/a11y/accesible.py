#!/usr/bin/env python3
"""The shipped binary as assistive technology sees it.

On a private X server with a session bus and the AT-SPI registry: walks every
window of the program through its accessibility tree, checking that every
focusable control and every list has a name and every text box is labelled
by its label, and opens the main menu with the title picture's press action.
Then, on a 640 x 480 screen, tabs to "GUARDAR" in "CREAR", checks that it has
been scrolled into view, and saves a card with the space bar. Screenshots go
to OUTPUT_DIR.

Usage: accesible.py FOLIOTECA OUTPUT_DIR
"""

import os
import shutil
import subprocess
import sys
import tempfile
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
import recorrido  # noqa: E402
from recorrido import Esperar, Fallo  # noqa: E402

if not os.environ.get("FOLIOTECA_BUS"):
    # A session bus of our own, so the accessibility bus and registry can start.
    os.execvpe("dbus-run-session", ["dbus-run-session", "--", sys.executable] + sys.argv,
               dict(os.environ, FOLIOTECA_BUS="1"))

import gi  # noqa: E402
gi.require_version("Atspi", "2.0")
from gi.repository import Atspi, GLib  # noqa: E402

TEXTOS = {"text", "entry", "password text", "editbar"}
LISTAS = {"list", "list box", "table", "tree table"}


def Hijos(a):
    return [a.get_child_at_index(i) for i in range(a.get_child_count())]


def Todos(a):
    yield a
    for h in Hijos(a):
        yield from Todos(h)


def Estado(a, estado):
    return a.get_state_set().contains(estado)


def Etiquetas(a):
    nombres = []
    for r in a.get_relation_set():
        if r.get_relation_type() == Atspi.RelationType.LABELLED_BY:
            nombres += [r.get_target(i).get_name() for i in range(r.get_n_targets())]
    return nombres


def Acciones(a):
    acc = a.get_action_iface()
    return [acc.get_action_name(i) for i in range(acc.get_n_actions())] if acc else []


class Programa:
    def __init__(self, binario, ancho, alto, salida, fichas=b""):
        self.salida = salida
        self.trabajo = tempfile.mkdtemp(prefix="folioteca-a11y-")
        self.carpeta = os.path.join(self.trabajo, "carpeta")
        os.mkdir(self.carpeta)
        self.fichas = os.path.join(self.carpeta, "fichas.dat")
        if fichas:
            with open(self.fichas, "wb") as f:
                f.write(fichas)
        self.pantalla = recorrido.Pantalla(ancho, alto, self.trabajo)
        Atspi.get_desktop(0).get_child_count()  # starts the accessibility bus first
        env = dict(self.pantalla.env, QT_LINUX_ACCESSIBILITY_ALWAYS_ON="1",
                   QT_ACCESSIBILITY="1")
        self.proceso = subprocess.Popen([binario], cwd=self.carpeta, env=env,
                                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                                        preexec_fn=recorrido.MorirConElPadre)
        self.app = Esperar(self.buscar_app, "the program on the accessibility bus")

    def buscar_app(self):
        d = Atspi.get_desktop(0)
        for a in Hijos(d):
            if a.get_name() == "folioteca" and a.get_process_id() == self.proceso.pid:
                return a
        return None

    def cerrar(self):
        if self.proceso.poll() is None:
            self.proceso.kill()
            self.proceso.wait()
        self.pantalla.cerrar()
        shutil.rmtree(self.trabajo, ignore_errors=True)

    def ventana(self, titulo):
        def visible():
            for v in Hijos(self.app):
                if v.get_name() == titulo and Estado(v, Atspi.StateType.SHOWING):
                    return v
            return None
        return Esperar(visible, "window " + titulo)

    def control(self, ventana, nombre, rol=None):
        for a in Todos(ventana):
            if a.get_name() == nombre and (rol is None or a.get_role_name() in rol):
                return a
        raise Fallo("no control %r in %s" % (nombre, ventana.get_name()))

    def pulsar(self, ventana, nombre):
        c = self.control(ventana, nombre, {"push button"})
        if "Press" not in Acciones(c):
            raise Fallo("%r cannot be pressed" % nombre)
        c.get_action_iface().do_action(Acciones(c).index("Press"))

    def foto(self, nombre):
        self.pantalla.guardar(self.pantalla.captura_quieta(), os.path.join(self.salida, nombre))


def Revisar(p, titulo, informe):
    """Walks the window `titulo` with RevisarUna. Right after another window
    went away the bus can still hand out its objects, which are gone when
    asked: the walk then starts again on the window found afresh."""
    for _ in range(5):
        ventana = p.ventana(titulo)
        propio = []
        try:
            RevisarUna(ventana, propio)
        except GLib.GError:
            time.sleep(0.5)
            continue
        informe.extend(propio)
        return ventana
    raise Fallo("%s: its accessible objects kept vanishing during the walk" % titulo)


def RevisarUna(ventana, informe):
    """Every focusable control and every list named, every text box labelled."""
    fallos = []
    for a in Todos(ventana):
        rol, nombre = a.get_role_name(), a.get_name()
        if Estado(a, Atspi.StateType.FOCUSABLE) or rol in LISTAS or rol in TEXTOS:
            if not nombre:
                fallos.append("a %s with no name" % rol)
            informe.append("%s: %s %r%s" % (ventana.get_name(), rol, nombre,
                                             " (labelled by %s)" % Etiquetas(a)
                                             if Etiquetas(a) else ""))
        if rol in TEXTOS and Etiquetas(a) != [nombre]:
            fallos.append("text box %r labelled by %r" % (nombre, Etiquetas(a)))
    if fallos:
        raise Fallo("%s: %s" % (ventana.get_name(), "; ".join(fallos)))


def Recorrer(binario, salida):
    ficha = '1,"Rayuela","Cortázar","Sudamericana","1963","600","2","R-1","Novela","Nota"\r\n'
    p = Programa(binario, 800, 600, salida, ficha.encode("cp1252"))
    informe = []
    try:
        inicio = Revisar(p, "FOLIOTECA 1.0 FOR WINDOWS 95", informe)
        titulo = p.control(inicio, "FOLIOTECA", {"push button"})
        if "Press" not in Acciones(titulo):
            raise Fallo("the title picture offers no press action: %r" % Acciones(titulo))
        titulo.get_action_iface().do_action(Acciones(titulo).index("Press"))
        menu = Revisar(p, "MENÚ", informe)
        p.pulsar(menu, "EDICIÓN DE FICHAS")
        edicion = Revisar(p, "EDICIÓN", informe)
        p.pulsar(edicion, "CREAR UNA FICHA")
        crear = Revisar(p, "CREAR", informe)
        p.pulsar(crear, "VOLVER")
        p.pulsar(p.ventana("MENÚ"), "BUSQUEDA DE FICHAS")
        buscar = Revisar(p, "BUSQUEDA DE FICHAS", informe)
        numero = p.control(buscar, "Introduce el número de ficha deseado:", TEXTOS)
        numero.get_editable_text_iface().set_text_contents("1")
        p.pulsar(buscar, "ABRIR")
        fichav = Revisar(p, "FICHA", informe)
        p.pulsar(fichav, "Volver")
        p.pulsar(p.ventana("MENÚ"), "VER LISTA COMPLETA DE LIBROS")
        lista = Revisar(p, "LISTA DE LIBROS", informe)
    finally:
        p.cerrar()
    with open(os.path.join(salida, "nombres.txt"), "w") as f:
        f.write("\n".join(informe) + "\n")


def PantallaPequena(binario, salida):
    p = Programa(binario, 640, 480, salida)
    try:
        titulo = p.control(p.ventana("FOLIOTECA 1.0 FOR WINDOWS 95"), "FOLIOTECA",
                           {"push button"})
        titulo.get_action_iface().do_action(0)
        p.pulsar(p.ventana("MENÚ"), "EDICIÓN DE FICHAS")
        p.pulsar(p.ventana("EDICIÓN"), "CREAR UNA FICHA")
        crear = p.ventana("CREAR")
        guardar = p.control(crear, "GUARDAR", {"push button"})
        marco = crear.get_extents(Atspi.CoordType.SCREEN)

        def a_la_vista():
            e = guardar.get_extents(Atspi.CoordType.SCREEN)
            return (e.y + e.height <= min(marco.y + marco.height, 480) and e.y >= marco.y
                    and e.x + e.width <= 640)
        if a_la_vista():
            raise Fallo("GUARDAR is in view on 640 x 480 before any scrolling")
        p.foto("crear-640x480-inicio.png")
        p.pantalla.escribir("Uno")
        for _ in range(7):  # txtTitulo to btnGuardar in the tab order
            p.pantalla.teclas("Tab")
        Esperar(lambda: Estado(guardar, Atspi.StateType.FOCUSED), "GUARDAR to take the focus")
        Esperar(a_la_vista, "GUARDAR to be scrolled into view")
        p.foto("crear-640x480-guardar.png")
        p.pantalla.teclas("space")
        esperado = b'1,"Uno","","","","","","","",""\r\n'

        def guardada():
            return os.path.exists(p.fichas) and open(p.fichas, "rb").read() == esperado
        Esperar(guardada, "the card to be saved")
    finally:
        p.cerrar()


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    binario, salida = os.path.abspath(sys.argv[1]), os.path.abspath(sys.argv[2])
    os.makedirs(salida, exist_ok=True)
    faltan = [h for h in ("Xvfb", "openbox", "xdotool", "import", "convert", "dbus-run-session")
              if not shutil.which(h)]
    if faltan:
        sys.exit("missing tools: " + ", ".join(faltan))
    try:
        Recorrer(binario, salida)
        PantallaPequena(binario, salida)
    except Fallo as e:
        sys.exit("FAIL: %s" % e)
    print("ok")


if __name__ == "__main__":
    main()
