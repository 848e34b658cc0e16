#include "app/titulo.h"

#include <QFont>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace app {

QPixmap PintarTitulo() {
    QPixmap imagen(800, 600);
    QPainter p(&imagen);
    // Yellow at the top centre through orange to red at the bottom centre.
    QLinearGradient vertical(400, 0, 400, 600);
    vertical.setColorAt(0.0, QColor(255, 236, 64));
    vertical.setColorAt(0.5, QColor(255, 140, 0));
    vertical.setColorAt(1.0, QColor(200, 16, 0));
    p.fillRect(imagen.rect(), vertical);
    QRadialGradient brillo(400, 0, 420);
    brillo.setColorAt(0.0, QColor(255, 255, 160, 170));
    brillo.setColorAt(1.0, QColor(255, 255, 160, 0));
    p.fillRect(imagen.rect(), brillo);
    QFont letra(QStringLiteral("DejaVu Serif"), 1);
    letra.setStyleHint(QFont::Serif);
    letra.setPixelSize(96);
    letra.setBold(true);
    p.setFont(letra);
    p.setRenderHint(QPainter::TextAntialiasing);
    const QRect franja(0, 240, 800, 120);
    p.setPen(QColor(110, 20, 0));
    p.drawText(franja.translated(4, 4), Qt::AlignCenter, QStringLiteral("FOLIOTECA"));
    p.setPen(QColor(255, 250, 230));
    p.drawText(franja, Qt::AlignCenter, QStringLiteral("FOLIOTECA"));
    return imagen;
}

} // namespace app
