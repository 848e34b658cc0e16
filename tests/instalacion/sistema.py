#!/usr/bin/env python3
"""The Debian package on this very machine: installs it with apt-get, starts
the installed folioteca from an empty directory on a private X server, checks
that the title window appears and that closing it ends the program with
status 0, then purges the package and checks that none of its files is left.

Needs root, and a machine where folioteca is not installed yet; otherwise the
test is skipped (exit status 77).
Usage: sistema.py PACKAGE_DIR
"""

import glob
import os
import subprocess
import sys
import tempfile
import time

sys.dont_write_bytecode = True  # nothing written into the source tree
sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from recorrido import ESPERA, Esperar, Fallo, MorirConElPadre, Pantalla  # noqa: E402

TITULO = "FOLIOTECA 1.0 FOR WINDOWS 95"
PROGRAMA = "/usr/bin/folioteca"
OMITIDO = 77


def Orden(*orden):
    r = subprocess.run(list(orden), capture_output=True, text=True,
                       env=dict(os.environ, DEBIAN_FRONTEND="noninteractive"))
    if r.returncode != 0:
        raise Fallo("%s failed (%d): %s%s" % (" ".join(orden), r.returncode, r.stdout, r.stderr))
    return r.stdout


def Apt(*args):
    # Another apt-get may hold the lock for a while (scripts/deps elsewhere).
    return Orden("apt-get", "-y", "-q", "-o", "DPkg::Lock::Timeout=300", *args)


def Instalado():
    r = subprocess.run(["dpkg-query", "-W", "-f=${Status}", "folioteca"],
                       capture_output=True, text=True)
    return r.returncode == 0 and "installed" in r.stdout.split()


def Arrancar(trabajo):
    carpeta = os.path.join(trabajo, "carpeta")
    os.mkdir(carpeta)
    pantalla = Pantalla(800, 600, trabajo)
    programa = None
    try:
        registro = open(os.path.join(trabajo, "folioteca.log"), "w")
        programa = subprocess.Popen([PROGRAMA], cwd=carpeta, env=pantalla.env, stdout=registro,
                                    stderr=subprocess.STDOUT, preexec_fn=MorirConElPadre)

        def ventana():
            r = pantalla.ejecutar("xdotool", "search", "--onlyvisible", "--pid", str(programa.pid),
                                  "--name", "^%s$" % TITULO, comprobar=False)
            return r.stdout.split()[0].decode() if r.stdout.split() else None
        try:
            v = Esperar(ventana, 'the window "%s"' % TITULO)
        except Fallo:
            if programa.poll() is not None:
                raise Fallo("folioteca ended with status %d before showing its title window: %s"
                            % (programa.returncode, open(registro.name).read()))
            raise
        # The frame's close, as openbox does it for Alt+F4.
        pantalla.xdo("windowactivate", "--sync", v)
        pantalla.xdo("key", "alt+F4")
        try:
            estado = programa.wait(ESPERA)
        except subprocess.TimeoutExpired:
            raise Fallo("folioteca still runs %g s after its title window was closed" % ESPERA)
        if estado != 0:
            raise Fallo("folioteca ended with status %d: %s" % (estado, open(registro.name).read()))
        if os.listdir(carpeta):
            raise Fallo("the title window alone left files behind: %s" % os.listdir(carpeta))
    finally:
        if programa and programa.poll() is None:
            programa.kill()
            programa.wait()
        pantalla.cerrar()


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    if os.geteuid() != 0:
        print("skipped: installing the package needs root")
        return OMITIDO
    # A folioteca already on this machine is someone's own: leave it alone.
    if Instalado() or os.path.lexists(PROGRAMA):
        print("skipped: folioteca is already installed here (%s)" % PROGRAMA)
        return OMITIDO
    debs = glob.glob(os.path.join(os.path.abspath(sys.argv[1]), "folioteca_*.deb"))
    if len(debs) != 1:
        print("expected one package in %s, found %s" % (sys.argv[1], debs), file=sys.stderr)
        return 1
    try:
        Apt("install", "--no-install-recommends", debs[0])
        archivos = [a for a in Orden("dpkg", "-L", "folioteca").split() if os.path.isfile(a)]
        if PROGRAMA not in archivos:
            raise Fallo("the package did not install %s" % PROGRAMA)
        with tempfile.TemporaryDirectory(prefix="folioteca-sistema-") as trabajo:
            inicio = time.monotonic()
            Arrancar(trabajo)
            print("installed %d files; title window shown and closed in %.1f s" %
                  (len(archivos), time.monotonic() - inicio))
    except Fallo as e:
        print("FAILED: %s" % e, file=sys.stderr)
        return 1
    finally:
        if Instalado():
            Apt("purge", "folioteca")
    if Instalado() or subprocess.run(["dpkg", "-L", "folioteca"], capture_output=True).returncode == 0:
        print("FAILED: dpkg still knows folioteca after the purge", file=sys.stderr)
        return 1
    quedan = [a for a in archivos if os.path.lexists(a)]
    if quedan:
        print("FAILED: the purge left %s" % quedan, file=sys.stderr)
        return 1
    print("purged: none of its files is left")
    return 0


if __name__ == "__main__":
    sys.exit(main())
