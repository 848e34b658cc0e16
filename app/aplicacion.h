#pragma once
// Application-wide settings shared by the program and its widget tests.

#include <QPixmap>

namespace app {

// Font substitution, the quit rule and names; call once after QApplication.
void PrepararAplicacion();

// The 800 x 600 title picture of the start-up window.
QPixmap PintarTitulo();

} // namespace app

namespace app {

// The busy cursor for the life of the object: around every pass over the file.
class Ocupado {
  public:
    Ocupado();
    ~Ocupado();
    Ocupado(const Ocupado&) = delete;
    Ocupado& operator=(const Ocupado&) = delete;
};

} // namespace app
