#pragma once
// The widget side of the test support: the offscreen application, the whole
// window table, and answering message boxes. Directories, files and record
// lines come from tests/soporte/fichas.h, which needs no Qt.

#include "app/diseno.h"
#include "app/mensaje.h"
#include "app/ventanas.h"
#include "tests/soporte/fichas.h"

#include <QString>
#include <QTimer>
#include <functional>
#include <gtest/gtest.h>
#include <span>
#include <string>

namespace prueba {

// The program's window table with every window registered; ending the
// program is recorded instead of leaving the event loop.
struct Programa {
    Programa();
    ~Programa();
    app::Ventanas ventanas;
    bool terminado = false;
    // Windows loaded (true) or not, in table order, for compact assertions.
    std::string cargadas() const;
    // The visible windows of the program, by object name.
    static QStringList visibles();
};

// Runs queued events, deferred deletions included.
void Procesar();

// What a message box showed and which button was pressed for it.
struct Cuadro {
    bool visto = false;
    QString titulo, texto;
    QStringList botones;
    bool conIcono = true;
};

// Arranges for the next modal message box to be answered by pressing the
// button with text `boton`. Call before the action that opens the box; when
// no box comes within a few seconds, `cuadro.visto` stays false.
void Responder(Cuadro& cuadro, const QString& boton);

// Counts the modal boxes that come up while it lives and closes each with its
// last button (No or Aceptar), so a handler that should show nothing cannot
// hang the test when it does.
class Vigia {
  public:
    Vigia();
    int cuadros = 0;

  private:
    QTimer reloj_;
};

// Checks every control of `tabla` on `ventana`: its object name, its class for
// the kind, its caption, its geometry in pixels, and that the focusable ones
// are chained in the order of the tab column.
void VerificarTabla(const app::Ventana& ventana, std::span<const app::Control> tabla);

// A UTF-8 text of a test as the record file stores it (Windows-1252 bytes).
std::string B(const char* utf8);

// A text of exactly `n` characters: `motivo` repeated, with the count of
// characters written in now and then, so no two stretches of it look alike.
QString Largo(int n, const QString& motivo);

// The rows of one list of a window, as shown.
QStringList Filas(const app::Ventana& ventana, const char* lista);

// Types `texto` into `w` key by key; QTest::keyClicks only knows ASCII.
void Teclear(QWidget* w, const QString& texto);

// The focus chain from `desde`, `n` steps, as object names.
QStringList CadenaFoco(QWidget* desde, int n);

} // namespace prueba
