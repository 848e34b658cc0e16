#pragma once
// The program's message box: modal, no icon, the application title, OK alone
// or Yes and No.

#include <QMessageBox>
#include <QString>

namespace app {

inline constexpr const char* kTituloAplicacion = "KODEXA";

enum class Botones { Aceptar, SiNo };
enum class Respuesta { Aceptar, Si, No };

// The box itself. With Yes and No it closes only through one of its buttons:
// neither Esc nor the frame dismisses it.
class CuadroMensaje : public QMessageBox {
    Q_OBJECT
  public:
    CuadroMensaje(const QString& texto, Botones botones, QWidget* padre = nullptr);
    Respuesta respuesta() const;

  protected:
    void keyPressEvent(QKeyEvent* e) override;
    void closeEvent(QCloseEvent* e) override;

  private:
    Botones botones_;
    QAbstractButton* si_ = nullptr;
};

// Shows the box over the active window, waits for the answer and returns it.
Respuesta Mensaje(const QString& texto, Botones botones = Botones::Aceptar);

} // namespace app
