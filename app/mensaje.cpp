#include "app/mensaje.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>

namespace app {

CuadroMensaje::CuadroMensaje(const QString& texto, Botones botones, QWidget* padre)
    : QMessageBox(padre), botones_(botones) {
    setObjectName(QStringLiteral("CuadroMensaje"));
    setWindowTitle(QString::fromLatin1(kTituloAplicacion));
    setIcon(QMessageBox::NoIcon);
    setText(texto);
    setTextFormat(Qt::PlainText);
    setWindowModality(Qt::ApplicationModal);
    // A title bar and nothing to minimise or maximise; the Yes/No box has no
    // close button either, since only an answer closes it.
    Qt::WindowFlags marco = Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (botones == Botones::Aceptar) {
        marco |= Qt::WindowCloseButtonHint;
    }
    setWindowFlags(marco);
    // Button texts of the Spanish system, set here rather than by a translation.
    if (botones == Botones::SiNo) {
        si_ = addButton(QStringLiteral("Sí"), QMessageBox::YesRole);
        addButton(QStringLiteral("No"), QMessageBox::NoRole);
        setDefaultButton(static_cast<QPushButton*>(si_));
    } else {
        setDefaultButton(addButton(QStringLiteral("Aceptar"), QMessageBox::AcceptRole));
    }
}

Respuesta CuadroMensaje::respuesta() const {
    if (botones_ == Botones::Aceptar) {
        return Respuesta::Aceptar;
    }
    return clickedButton() == si_ ? Respuesta::Si : Respuesta::No;
}

void CuadroMensaje::keyPressEvent(QKeyEvent* e) {
    if (botones_ == Botones::SiNo && e->key() == Qt::Key_Escape) {
        e->accept();
        return;
    }
    QMessageBox::keyPressEvent(e);
}

void CuadroMensaje::closeEvent(QCloseEvent* e) {
    if (botones_ == Botones::SiNo && !clickedButton()) {
        e->ignore();
        return;
    }
    QMessageBox::closeEvent(e);
}

Respuesta Mensaje(const QString& texto, Botones botones) {
    CuadroMensaje cuadro(texto, botones, QApplication::activeWindow());
    cuadro.exec();
    return cuadro.respuesta();
}

} // namespace app
