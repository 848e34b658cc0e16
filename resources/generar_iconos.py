#!/usr/bin/env python3
"""Genera los iconos XPM de FOLIOTECA en resources/iconos/.

Solo biblioteca estandar. Cada icono se dibuja sobre una matriz de claves de
paleta (paleta clasica de 16 colores mas "None" para lo transparente) con
unas pocas primitivas: mascaras por poligono o por predicado, contornos,
lineas y rectangulos. Las figuras giradas se describen en coordenadas locales
y se proyectan con una transformacion afin.

Uso:  python3 generar_iconos.py        (escribe en ./iconos junto al script)
"""

import math
import os
import random

# Paleta clasica de 16 colores.  '.' es transparente.
PALETA = {
    '.': 'None',
    'k': '#000000',  # negro
    'w': '#FFFFFF',  # blanco
    'g': '#C0C0C0',  # gris claro
    'd': '#808080',  # gris oscuro
    'r': '#800000',  # rojo oscuro
    'R': '#FF0000',  # rojo
    'n': '#008000',  # verde oscuro
    'G': '#00FF00',  # verde
    'b': '#000080',  # azul oscuro
    'B': '#0000FF',  # azul
    'y': '#808000',  # amarillo oscuro / marron
    'Y': '#FFFF00',  # amarillo
    'c': '#008080',  # cian oscuro
    'C': '#00FFFF',  # cian
    'm': '#800080',  # magenta oscuro
    'M': '#FF00FF',  # magenta
}


# ---------------------------------------------------------------------------
# Lienzo y primitivas
# ---------------------------------------------------------------------------

class Lienzo:
    """Matriz de claves de paleta.  El pixel (x, y) cubre [x, x+1) x [y, y+1);
    las mascaras se evaluan en el centro (x + 0.5, y + 0.5)."""

    def __init__(self, ancho, alto, fondo='.'):
        self.w = ancho
        self.h = alto
        self.p = [[fondo] * ancho for _ in range(alto)]

    def dentro(self, x, y):
        return 0 <= x < self.w and 0 <= y < self.h

    def pon(self, x, y, c):
        if self.dentro(x, y):
            self.p[y][x] = c

    def toma(self, x, y):
        return self.p[y][x] if self.dentro(x, y) else None

    # --- mascaras ---------------------------------------------------------
    def mascara(self, pred):
        return {(x, y) for y in range(self.h) for x in range(self.w)
                if pred(x + 0.5, y + 0.5)}

    def rellena(self, masc, c):
        for x, y in masc:
            self.pon(x, y, c)

    def contorno(self, masc, c='k', ocho=False):
        """Pinta los pixeles de la mascara que tocan su exterior."""
        vec = [(1, 0), (-1, 0), (0, 1), (0, -1)]
        if ocho:
            vec += [(1, 1), (1, -1), (-1, 1), (-1, -1)]
        borde = set()
        for x, y in masc:
            for dx, dy in vec:
                if (x + dx, y + dy) not in masc:
                    borde.add((x, y))
                    break
        self.rellena(borde, c)
        return borde

    def figura(self, masc, c, borde='k'):
        self.rellena(masc, c)
        if borde:
            self.contorno(masc, borde)

    # --- primitivas directas ---------------------------------------------
    def rect(self, x0, y0, x1, y1, c):
        """Rectangulo relleno, extremos incluidos."""
        for y in range(min(y0, y1), max(y0, y1) + 1):
            for x in range(min(x0, x1), max(x0, x1) + 1):
                self.pon(x, y, c)

    def marco(self, x0, y0, x1, y1, c):
        for x in range(x0, x1 + 1):
            self.pon(x, y0, c)
            self.pon(x, y1, c)
        for y in range(y0, y1 + 1):
            self.pon(x0, y, c)
            self.pon(x1, y, c)

    def linea(self, x0, y0, x1, y1, c):
        """Bresenham entre pixeles (extremos incluidos)."""
        dx, dy = abs(x1 - x0), -abs(y1 - y0)
        sx = 1 if x0 < x1 else -1
        sy = 1 if y0 < y1 else -1
        err = dx + dy
        while True:
            self.pon(x0, y0, c)
            if x0 == x1 and y0 == y1:
                break
            e2 = 2 * err
            if e2 >= dy:
                err += dy
                x0 += sx
            if e2 <= dx:
                err += dx
                y0 += sy

    def trazo(self, puntos, c):
        for (a, b), (e, f) in zip(puntos, puntos[1:]):
            self.linea(a, b, e, f, c)

    def bisel(self, claro='w', oscuro='d', fondo='g'):
        """Baldosa gris opaca con relieve (para los iconos sobre fondo)."""
        self.rect(0, 0, self.w - 1, self.h - 1, fondo)
        for i in range(self.w):
            self.pon(i, 0, claro)
            self.pon(i, self.h - 1, oscuro)
        for j in range(self.h):
            self.pon(0, j, claro)
            self.pon(self.w - 1, j, oscuro)
        self.pon(self.w - 1, 0, fondo)
        self.pon(0, self.h - 1, fondo)

    # --- salida -----------------------------------------------------------
    def xpm(self, nombre):
        usadas = []
        for fila in self.p:
            for c in fila:
                if c not in usadas:
                    usadas.append(c)
        orden = [k for k in PALETA if k in usadas]
        colores = [k for k in orden if k != '.']
        if len(colores) > 16:
            raise ValueError('%s: demasiados colores' % nombre)
        lin = ['/* XPM */',
               'static const char *%s_xpm[] = {' % nombre,
               '/* ancho alto colores caracteres_por_pixel */',
               '"%d %d %d 1",' % (self.w, self.h, len(orden))]
        for k in orden:
            lin.append('"%s c %s",' % (k, PALETA[k]))
        lin.append('/* pixeles */')
        filas = ['"%s"' % ''.join(f) for f in self.p]
        lin.append(',\n'.join(filas))
        lin.append('};')
        return '\n'.join(lin) + '\n'


def en_poligono(pts):
    """Predicado: punto dentro del poligono (regla par-impar)."""
    def pred(px, py):
        dentro = False
        n = len(pts)
        for i in range(n):
            x1, y1 = pts[i]
            x2, y2 = pts[(i + 1) % n]
            if (y1 > py) != (y2 > py):
                xc = x1 + (py - y1) * (x2 - x1) / (y2 - y1)
                if px < xc:
                    dentro = not dentro
        return dentro
    return pred


def en_elipse(cx, cy, rx, ry):
    return lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1.0


class Afin:
    """Coordenadas locales (u, v) -> pixel: origen + u*e1 + v*e2."""

    def __init__(self, ox, oy, angulo_grados, escala_v=1.0, escala_u=1.0):
        a = math.radians(angulo_grados)
        self.o = (ox, oy)
        self.e1 = (math.cos(a) * escala_u, math.sin(a) * escala_u)
        self.e2 = (-math.sin(a) * escala_v, math.cos(a) * escala_v)

    def a_pixel(self, u, v):
        return (self.o[0] + u * self.e1[0] + v * self.e2[0],
                self.o[1] + u * self.e1[1] + v * self.e2[1])

    def a_local(self, x, y):
        dx, dy = x - self.o[0], y - self.o[1]
        (a, c), (b, d) = self.e1, self.e2    # columnas e1, e2
        det = a * d - b * c
        return ((d * dx - b * dy) / det, (-c * dx + a * dy) / det)

    def poligono(self, pts):
        return en_poligono([self.a_pixel(u, v) for u, v in pts])

    def pred(self, f):
        return lambda x, y: f(*self.a_local(x, y))


# ---------------------------------------------------------------------------
# Iconos
# ---------------------------------------------------------------------------

def marmol(ancho, alto, semilla, pasos=2):
    """Patron jaspeado blanco y negro (automata de mayoria sobre ruido)."""
    rnd = random.Random(semilla)
    m = [[rnd.random() < 0.5 for _ in range(ancho)] for _ in range(alto)]
    for _ in range(pasos):
        n = [[False] * ancho for _ in range(alto)]
        for y in range(alto):
            for x in range(ancho):
                s = 0
                for dy in (-1, 0, 1):
                    for dx in (-1, 0, 1):
                        yy, xx = (y + dy) % alto, (x + dx) % ancho
                        s += m[yy][xx]
                n[y][x] = s >= 5
        m = n
    return m


def programa32():
    L = Lienzo(32, 32)
    # Bloque de hojas y contratapa asomando a la derecha y abajo.
    L.rect(6, 3, 29, 30, 'k')
    L.rect(7, 4, 28, 29, 'w')
    for y in range(5, 29, 2):
        L.pon(28, y, 'g')
    for x in range(8, 28, 2):
        L.pon(x, 29, 'g')
    # Tapa.
    L.rect(4, 1, 27, 28, 'k')
    mm = marmol(22, 26, 9, pasos=1)
    for y in range(26):
        for x in range(22):
            L.pon(5 + x, 2 + y, 'k' if mm[y][x] else 'w')
    # Lomo de tela negra con costura.
    L.rect(2, 1, 8, 28, 'k')
    L.rect(3, 2, 3, 27, 'd')
    L.rect(9, 2, 9, 27, 'd')
    for y in range(4, 27, 3):
        L.pon(6, y, 'g')
    L.pon(2, 1, '.')
    L.pon(2, 28, '.')
    # Etiqueta blanca con renglones.
    L.rect(12, 6, 25, 15, 'k')
    L.rect(13, 7, 24, 14, 'w')
    L.rect(25, 7, 25, 15, 'k')
    for x in range(14, 24):
        L.pon(x, 10, 'd')
        L.pon(x, 13, 'd')
    L.rect(13, 14, 24, 14, 'g')
    return L


def programa16():
    # A 16 pixeles el jaspeado se dibuja a mano, pixel a pixel.
    filas = [
        ".kkkkkkkkkkkkk..",
        "kdkdwkkwwkwkwk..",
        "kdkdkwkkkkkkkkkk",
        "kdkdkkkkkkkkkkwk",
        "kdkdwkwwwwwkkkwk",
        "kdkdkkwdddwkwkwk",
        "kdkdkkwwwwwkkkgk",
        "kdkdwkgggggkkkwk",
        "kdkdkkkkkkkkwkwk",
        "kdkdkwkkkkwkkkwk",
        "kdkdwkkwkwwkwkgk",
        "kdkdkwwkkwkwkkwk",
        "kdkdkkwkwkkwwkwk",
        "kkkkkkkkkkkkkkwk",
        "...kwwwgwwwgwwwk",
        "...kkkkkkkkkkkkk",
    ]
    L = Lienzo(16, 16)
    for y, f in enumerate(filas):
        assert len(f) == 16, (y, f)
        for x, c in enumerate(f):
            L.pon(x, y, c)
    return L


def parar():
    L = Lienzo(32, 32)

    def octogono(a):
        b = a * 1.5858          # corte de esquinas de un octogono regular
        return lambda x, y: (abs(x - 16) <= a and abs(y - 16) <= a and
                             abs(x - 16) + abs(y - 16) <= b)

    L.rellena(L.mascara(octogono(15.9)), 'k')
    L.rellena(L.mascara(octogono(14.9)), 'R')
    L.rellena(L.mascara(octogono(13.6)), 'w')
    L.rellena(L.mascara(octogono(12.4)), 'R')
    # Sombra interior abajo a la derecha.
    interior = L.mascara(octogono(12.4))
    menor = L.mascara(lambda x, y: octogono(11.4)(x - 0.9, y - 0.9))
    L.rellena(interior - menor, 'r')
    # Barra blanca con sombra.
    L.rect(8, 17, 24, 17, 'r')
    L.rect(25, 14, 25, 17, 'r')
    L.rect(7, 13, 24, 16, 'w')
    return L


def papel():
    L = Lienzo(32, 32)
    L.bisel()
    # Sombra de la hoja.
    L.rect(8, 6, 27, 29, 'd')
    # Hoja.
    L.rect(5, 4, 25, 27, 'k')
    L.rect(6, 5, 24, 26, 'w')
    # Renglones azules y margen rojo.
    for y in range(10, 26, 3):
        L.rect(7, y, 23, y, 'C')
    L.rect(7, 9, 23, 9, 'B')
    L.rect(10, 6, 10, 25, 'R')
    # Esquina doblada abajo a la derecha.
    L.pon(24, 26, 'k')
    L.pon(23, 26, 'k')
    L.pon(24, 25, 'k')
    L.pon(23, 25, 'g')
    # Espiral: agujeros y anillos.
    for x in range(7, 24, 3):
        L.pon(x, 6, 'k')
        L.pon(x + 1, 6, 'd')
        L.pon(x, 2, 'k')
        L.pon(x, 3, 'k')
        L.pon(x, 4, 'k')
        L.pon(x, 5, 'd')
        L.pon(x + 1, 2, 'k')
        L.pon(x + 1, 3, 'w')
        L.pon(x + 1, 4, 'g')
        L.pon(x - 1, 3, 'd')
        L.pon(x - 1, 4, 'd')
    return L


def libro_tumbado(L, x0, x1, y0, y1, c, cc, co, paginas_dcha=True):
    """Un libro acostado visto de lado: lomo de color y cantos de hojas."""
    L.rect(x0, y0, x1, y1, 'k')
    L.rect(x0 + 1, y0 + 1, x1 - 1, y1 - 1, c)
    L.rect(x0 + 1, y0 + 1, x1 - 1, y0 + 1, cc)
    L.rect(x0 + 1, y1 - 1, x1 - 1, y1 - 1, co)
    # Bandas doradas en el lomo.
    for bx in (x0 + 3, x1 - 3):
        L.rect(bx, y0 + 1, bx, y1 - 1, 'Y')
    # Tejuelo (etiqueta del titulo).
    mx = (x0 + x1) // 2
    if y1 - y0 >= 5:
        L.rect(mx - 3, y0 + 2, mx + 3, y1 - 2, 'k')
        L.rect(mx - 2, y0 + 2, mx + 2, y1 - 2, 'Y')
    # Canto de las hojas al extremo.
    if paginas_dcha:
        L.rect(x1, y0 + 1, x1 + 2, y1 - 1, 'w')
        L.rect(x1 + 3, y0, x1 + 3, y1, 'k')
        L.rect(x1, y0, x1 + 3, y0, 'k')
        L.rect(x1, y1, x1 + 3, y1, 'k')
        for yy in range(y0 + 2, y1, 2):
            L.rect(x1 + 1, yy, x1 + 2, yy, 'g')
    else:
        L.rect(x0 - 2, y0 + 1, x0, y1 - 1, 'w')
        L.rect(x0 - 3, y0, x0 - 3, y1, 'k')
        L.rect(x0 - 3, y0, x0, y0, 'k')
        L.rect(x0 - 3, y1, x0, y1, 'k')
        for yy in range(y0 + 2, y1, 2):
            L.rect(x0 - 2, yy, x0 - 1, yy, 'g')


def libros():
    L = Lienzo(32, 32)
    libro_tumbado(L, 2, 26, 23, 29, 'B', 'C', 'b')
    libro_tumbado(L, 7, 28, 17, 23, 'R', 'M', 'r', paginas_dcha=False)
    libro_tumbado(L, 3, 24, 11, 17, 'n', 'G', 'k')
    libro_tumbado(L, 8, 27, 5, 11, 'y', 'Y', 'k', paginas_dcha=False)
    return L


def libro_rojo():
    L = Lienzo(32, 32)
    # Tapa delantera (rectangulo) y grosor desplazado abajo a la izquierda.
    tapa = L.mascara(en_poligono([(10, 2), (28, 2), (28, 26), (10, 26)]))
    lomo = L.mascara(en_poligono([(10, 2), (10, 26), (6, 30), (6, 6)]))
    canto = L.mascara(en_poligono([(10, 26), (28, 26), (24, 30), (6, 30)]))
    L.figura(canto, 'w')
    # Hojas del canto inferior y borde de la contratapa (roja) bajo ellas.
    for x, y in canto:
        if L.toma(x, y) == 'w':
            if y == 28:
                L.pon(x, y, 'g')
            elif y == 29:
                L.pon(x, y, 'r')
    L.figura(lomo, 'r')
    # Filetes dorados del lomo.
    for (a, b) in ((7, 10), (7, 25)):
        L.linea(a, b, a + 2, b - 2, 'Y')
    L.figura(tapa, 'R')
    # Luz en el borde superior/izquierdo y sombra abajo/derecha.
    L.rect(11, 3, 26, 3, 'w')
    L.rect(11, 3, 11, 24, 'w')
    L.rect(27, 3, 27, 25, 'r')
    L.rect(11, 25, 27, 25, 'r')
    # Marco dorado y titulo.
    L.marco(14, 6, 24, 21, 'y')
    L.rect(16, 9, 22, 12, 'k')
    L.rect(17, 10, 21, 11, 'Y')
    L.rect(17, 16, 21, 16, 'y')
    L.rect(18, 18, 20, 18, 'y')
    return L


def ojo():
    L = Lienzo(32, 32)
    w, h = 14.5, 8.0
    R = (w * w + h * h) / (2 * h)
    cx, cy = 16.0, 16.0
    sup = lambda x, y: (x - cx) ** 2 + (y - (cy - h + R)) ** 2 <= R * R
    inf = lambda x, y: (x - cx) ** 2 + (y - (cy + h - R)) ** 2 <= R * R
    lente = L.mascara(lambda x, y: sup(x, y) and inf(x, y))
    L.rellena(lente, 'w')
    # Sombra del parpado en la parte alta del blanco.
    sombra = L.mascara(lambda x, y: sup(x, y) and inf(x, y) and
                       not ((x - cx) ** 2 + (y - (cy - h + R) + 1.6) ** 2
                            <= R * R))
    L.rellena(sombra, 'g')
    # Iris y pupila, recortados por el ojo.
    iris = L.mascara(en_elipse(16, 16, 6.6, 6.6)) & lente
    L.rellena(iris, 'b')
    L.rellena(L.mascara(en_elipse(16, 16, 5.5, 5.5)) & lente, 'B')
    L.rellena(L.mascara(en_elipse(17, 17.3, 3.6, 3.6)) & lente & L.mascara(
        lambda x, y: (x - 16) ** 2 + (y - 16) ** 2 > 3.2 ** 2), 'b')
    L.rellena(L.mascara(en_elipse(16, 16, 2.8, 2.8)), 'k')
    L.rect(13, 13, 14, 14, 'w')
    L.pon(18, 18, 'C')
    L.contorno(lente, 'k')
    # Parpado superior mas marcado y pestanas.
    for x, y in list(lente):
        if (x, y - 1) not in lente and 5 <= x <= 26:
            L.pon(x, y - 1, 'k')
    for x0, y0, x1, y1 in ((9, 10, 8, 7), (13, 8, 12, 5), (16, 8, 16, 5),
                           (19, 8, 20, 5), (23, 10, 24, 7), (6, 12, 4, 10),
                           (26, 12, 28, 10)):
        L.linea(x0, y0, x1, y1, 'k')
    return L


def martillo():
    L = Lienzo(32, 32)
    L.bisel()
    T = Afin(17.5, 11.0, 42)       # u: a lo largo de la cabeza, v: mango
    mango = L.mascara(T.poligono([(-1.9, 0), (1.9, 0), (2.1, 19.5),
                                  (0, 21), (-2.1, 19.5)]))
    L.rellena(mango, 'y')
    brillo = L.mascara(T.poligono([(-1.0, 0), (-0.1, 0), (-0.1, 19),
                                   (-1.0, 19)]))
    L.rellena(brillo & mango, 'Y')
    L.rellena(L.mascara(T.poligono([(-2.2, 16), (2.2, 16), (2.2, 17.2),
                                    (-2.2, 17.2)])) & mango, 'r')
    L.contorno(mango, 'k')
    cabeza = L.mascara(T.poligono([
        (-11.5, -3.6), (-7.0, -3.6), (-7.0, -2.6), (-2.8, -2.6), (-2.8, -3.8),
        (2.8, -3.8), (7.0, -3.0), (10.5, -1.4), (12.6, 1.2), (13.4, 4.4),
        (11.6, 3.0), (9.0, 1.4), (6.0, 0.8), (2.8, 1.8), (2.8, 3.8),
        (-2.8, 3.8), (-2.8, 2.6), (-7.0, 2.6), (-7.0, 3.6), (-11.5, 3.6)]))
    L.rellena(cabeza, 'd')
    luz = L.mascara(T.poligono([(-12, -4), (13, -4), (13, -1.7),
                                (-12, -1.7)]))
    L.rellena(luz & cabeza, 'g')
    # Cara de golpe pulida.
    L.rellena(L.mascara(T.poligono([(-11.6, -3.7), (-10.2, -3.7),
                                    (-10.2, 3.7), (-11.6, 3.7)])) & cabeza,
              'w')
    # Hendidura de la una.
    L.rellena(L.mascara(T.poligono([(6.8, -0.3), (10.4, 0.6), (13.0, 3.2),
                                    (12.0, 3.4), (9.8, 1.4), (6.8, 0.5)]))
              & cabeza, 'k')
    L.contorno(cabeza, 'k')
    return L


def flecha():
    L = Lienzo(32, 32)
    pts = [(1.5, 16), (15, 3.5), (15, 10.5), (30.5, 10.5), (30.5, 21.5),
           (15, 21.5), (15, 28.5)]
    L.rellena(L.mascara(en_poligono(pts)), 'k')
    return L


def lapiz():
    L = Lienzo(32, 32)
    # Garabato a lapiz: una linea ondulada que acaba bajo la goma.
    pts = []
    for i in range(0, 41):
        x = 1 + i * 0.25
        y = 27.0 + 2.0 * math.sin(x * 0.85 + 0.4)
        pts.append((int(round(x)), int(round(y))))
    L.trazo(pts, 'k')
    # Restos de goma.
    for x, y in ((14, 29), (16, 28), (17, 30), (19, 29)):
        L.pon(x, y, 'd')
    T = Afin(14.5, 17.5, -45)    # u: a lo largo del lapiz hacia la punta
    # Goma (magenta) apoyada sobre el trazo.
    goma = L.mascara(T.poligono([(-9.5, -2.8), (-4, -2.8), (-4, 2.8),
                                 (-9.5, 2.8)]))
    L.rellena(goma, 'M')
    L.rellena(L.mascara(T.poligono([(-10, 1.0), (-4, 1.0), (-4, 3),
                                    (-10, 3)])) & goma, 'm')
    L.contorno(goma, 'k')
    # Casquillo metalico.
    casq = L.mascara(T.poligono([(-4.6, -3), (0, -3), (0, 3), (-4.6, 3)]))
    L.rellena(casq, 'g')
    L.rellena(L.mascara(T.poligono([(-5, 1.2), (0, 1.2), (0, 3),
                                    (-5, 3)])) & casq, 'd')
    L.rellena(L.mascara(T.poligono([(-2.6, -3), (-1.8, -3), (-1.8, 3),
                                    (-2.6, 3)])) & casq, 'd')
    L.contorno(casq, 'k')
    # Cuerpo amarillo con facetas.
    cuerpo = L.mascara(T.poligono([(-0.5, -2.8), (16, -2.8), (16, 2.8),
                                   (-0.5, 2.8)]))
    L.rellena(cuerpo, 'Y')
    L.rellena(L.mascara(T.poligono([(-1, 0.9), (17, 0.9), (17, 3),
                                    (-1, 3)])) & cuerpo, 'y')
    L.rellena(L.mascara(T.poligono([(-1, -1.4), (17, -1.4), (17, -0.6),
                                    (-1, -0.6)])) & cuerpo, 'w')
    L.contorno(cuerpo, 'k')
    # Punta de madera y mina.
    punta = L.mascara(T.poligono([(15.6, -2.8), (22.5, -0.5), (22.5, 0.5),
                                  (15.6, 2.8)]))
    L.rellena(punta, 'w')
    L.rellena(L.mascara(T.poligono([(15, 0.4), (23, 0.4), (23, 3),
                                    (15, 3)])) & punta, 'g')
    L.contorno(punta, 'k')
    L.rellena(L.mascara(T.poligono([(20, -1.3), (23.5, 0), (20, 1.3)])),
              'k')
    return L


def libro_frente():
    L = Lienzo(32, 32)
    # Bordes de las paginas abiertas en funcion de x (forma de alas).
    def arriba(x):
        t = abs(x - 16.0) / 14.0           # 0 en el lomo, 1 en el canto
        return 9.0 - 4.0 * math.sin(t * math.pi * 0.5) ** 0.6 + 1.5 * t

    def abajo(x, hund=0.0):
        t = abs(x - 16.0) / 14.0
        return 26.0 - 3.0 * math.sin(t * math.pi * 0.5) ** 0.6 + 1.5 * t + hund

    # Tapa (azul) por debajo y detras de las hojas.
    tapa = L.mascara(lambda x, y: 0.5 <= x <= 31.5 and
                     arriba(x) + 2.5 <= y <= abajo(x) + 4.0)
    L.figura(tapa, 'b')
    # Bloque de hojas (cantos) bajo la pagina visible.
    bloque = L.mascara(lambda x, y: 1.8 <= x <= 30.2 and
                       arriba(x) + 1.0 <= y <= abajo(x) + 2.0)
    L.figura(bloque, 'w')
    for x, y in bloque:
        if L.toma(x, y) == 'w' and y > abajo(x + 0.0) + 0.6:
            L.pon(x, y, 'g')
    # Paginas visibles.
    izq = L.mascara(lambda x, y: 3.0 <= x <= 16.0 and arriba(x) <= y <= abajo(x))
    der = L.mascara(lambda x, y: 16.0 <= x <= 29.0 and arriba(x) <= y <= abajo(x))
    L.figura(izq, 'w')
    L.figura(der, 'w')
    # Sombra del pliegue central.
    for x, y in izq:
        if x == 15 and L.toma(x, y) == 'w':
            L.pon(x, y, 'g')
    for x, y in der:
        if x == 16 and L.toma(x, y) == 'w':
            L.pon(x, y, 'g')
    # Lineas de texto.
    for k in range(7):
        for x in list(range(5, 14)) + list(range(18, 27)):
            y = int(arriba(x + 0.5) + 3 + 2.3 * k)
            if y < abajo(x + 0.5) - 1.5 and L.toma(x, y) == 'w':
                if not (k == 6 and x > 20) and not (k == 3 and x > 10 and x < 14):
                    L.pon(x, y, 'd')
    return L


def libro_inclinado():
    L = Lienzo(32, 32)
    T = Afin(16.0, 13.5, -22, escala_v=0.74, escala_u=0.98)
    W, H = 13.0, 11.0

    def curva(u):
        # Las hojas se levantan junto al lomo: el borde superior se arquea.
        t = min(abs(u) / W, 1.0)
        return 1.6 * (1 - t) ** 3

    # Grosor: tapa y cantos desplazados hacia abajo en pantalla.
    def desplaza(f, dy):
        return lambda x, y: f(x, y - dy)

    def hojas(u, v):
        c = curva(u)
        return -W <= u <= W and -H - 2.2 * c <= v <= H - 0.6 * c

    def tapa(u, v):
        return -W - 1.2 <= u <= W + 1.2 and -H - 1.2 <= v <= H + 1.4

    tapa_m = L.mascara(desplaza(T.pred(tapa), 3.0))
    L.figura(tapa_m, 'r')
    canto2 = L.mascara(desplaza(T.pred(hojas), 2.0))
    canto1 = L.mascara(desplaza(T.pred(hojas), 1.0))
    L.rellena(canto2, 'g')
    L.rellena(canto1, 'w')
    L.contorno(canto1 | canto2, 'k')
    pag = L.mascara(T.pred(hojas))
    L.figura(pag, 'w')
    # Pliegue del lomo.
    pliegue = L.mascara(T.pred(lambda u, v: -0.9 <= u <= 0.6 and
                               abs(v) <= H - 0.5))
    L.rellena(pliegue & pag, 'd')
    cerca = L.mascara(T.pred(lambda u, v: 0.6 < u <= 2.0 and abs(v) <= H - 1))
    L.rellena(cerca & pag, 'g')
    # Renglones: lineas a v constante en cada pagina.
    for k in range(6):
        v = -H + 4.0 + 3.4 * k
        for lado in (-1, 1):
            fin = W - 2.2 if k < 5 else 7.0
            x0, y0 = T.a_pixel(lado * 2.6, v - curva(2.6))
            x1, y1 = T.a_pixel(lado * fin, v)
            tmp = Lienzo(32, 32)
            tmp.linea(int(x0), int(y0), int(x1), int(y1), 'd')
            for yy in range(32):
                for xx in range(32):
                    if tmp.p[yy][xx] == 'd' and (xx, yy) in pag \
                            and L.toma(xx, yy) == 'w':
                        L.pon(xx, yy, 'd')
    return L


ICONOS = [
    ('programa32', programa32),
    ('programa16', programa16),
    ('parar', parar),
    ('papel', papel),
    ('libros', libros),
    ('libro_rojo', libro_rojo),
    ('ojo', ojo),
    ('martillo', martillo),
    ('flecha', flecha),
    ('lapiz', lapiz),
    ('libro_frente', libro_frente),
    ('libro_inclinado', libro_inclinado),
]


def main():
    destino = os.path.join(os.path.dirname(os.path.abspath(__file__)),
                           'iconos')
    os.makedirs(destino, exist_ok=True)
    for nombre, f in ICONOS:
        texto = f().xpm(nombre)
        with open(os.path.join(destino, nombre + '.xpm'), 'w',
                  encoding='ascii', newline='\n') as fh:
            fh.write(texto)
        print('escrito', nombre + '.xpm')


if __name__ == '__main__':
    main()
