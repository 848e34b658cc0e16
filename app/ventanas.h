#pragma once
// The window table and the five window operations. They are the only code
// that creates, shows, hides or destroys a window, or ends the program.

#include <QMainWindow>
#include <QPointer>
#include <array>
#include <functional>
#include <span>

#include "app/diseno.h"

namespace app {

enum class Id { Inicio = 0, Menu, Edicion, Crear, Buscar, Ficha, Lista };
inline constexpr int kVentanas = 7;

class Ventanas;

// One window of the table. Its controls live on the client area, below the
// menu bar where there is one. On a screen smaller than the box that holds
// the controls the client area scrolls, and follows the keyboard focus; on a
// larger one it looks exactly as without scrolling.
class Ventana : public QMainWindow {
    Q_OBJECT
  public:
    enum class Desplazar { Si, No };
    Ventana(Ventanas& ventanas, Id id, const char* nombre, const char* titulo,
            std::span<const Control> tabla, Desplazar desplazar = Desplazar::Si);
    ~Ventana() override;

    Id id() const { return id_; }
    QWidget* cliente() const { return cliente_; }
    // The control `nombre` of the layout table as a T, or null.
    template <class T = QWidget> T* control(const char* nombre) const {
        return cliente_->findChild<T*>(QString::fromLatin1(nombre));
    }
    // The same, for a constructor that keeps the control for its handlers: a
    // name missing from the table, or a control of another kind, stops the
    // program right there, naming the window and the control.
    template <class T> T* enlazar(const char* nombre) const {
        T* c = control<T>(nombre);
        if (!c) {
            faltaControl(nombre, T::staticMetaObject.className());
        }
        return c;
    }

    // The load event, run inside load before the window can be seen.
    virtual void alCargar() {}
    // The close request, delivered by unload.
    virtual void alPedirCierre() {}
    // The user closed the window through its frame: unless the window says
    // otherwise, what its return button does.
    virtual void alCerrarMarco() { volver(); }

  protected:
    void closeEvent(QCloseEvent* e) override;
    // Stops the program: the window has no `clase` called `nombre`.
    [[noreturn]] void faltaControl(const char* nombre, const char* clase) const;
    // The return button's handler: unless the window says otherwise, back to
    // the main menu.
    virtual void volver() { irAlMenu(); }
    // Leaves this window for the main menu: hide this window; unload it; load
    // the menu (which builds it again when it was unloaded); show the menu.
    void irAlMenu();
    Ventanas& ventanas_;

  private:
    friend class Ventanas;
    Id id_;
    QWidget* cliente_ = nullptr;
    QWidget* primerFoco_ = nullptr;
    QMetaObject::Connection sigueFoco_; // scrolls the focused control into view
    QPointer<QWidget> focoGuardado_;
    bool mostrada_ = false;
    bool descargando_ = false;
};

class Ventanas : public QObject {
    Q_OBJECT
  public:
    using Fabrica = std::function<Ventana*(Ventanas&)>;

    void registrar(Id id, Fabrica fabrica) { fabricas_[Indice(id)] = std::move(fabrica); }

    void cargar(Id id);
    void mostrar(Id id);
    void ocultar(Id id);
    void descargar(Id id);
    void terminar();

    bool cargada(Id id) const { return ventanas_[Indice(id)] != nullptr; }
    // The loaded window, loading it hidden first when it is not: writing into
    // a window that does not exist creates it.
    Ventana& obtener(Id id);
    template <class T> T& obtener(Id id) { return static_cast<T&>(obtener(id)); }
    bool ninguna() const;

    // How the program stops; tests replace it.
    std::function<void(int)> salir;

    Ventanas();
    ~Ventanas() override;

  private:
    static int Indice(Id id) { return static_cast<int>(id); }
    void comprobarFin();

    std::array<Fabrica, kVentanas> fabricas_;
    std::array<QPointer<Ventana>, kVentanas> ventanas_;
};

} // namespace app
