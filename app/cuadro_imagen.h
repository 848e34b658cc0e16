#pragma once
// The picture box of the layout tables: a bordered picture that takes the
// focus and reports a click, also to assistive technology.

#include <QLabel>

namespace app {

// Lets assistive technology press picture boxes; call once after QApplication.
void InstalarAccesibilidad();

class CuadroImagen : public QLabel {
    Q_OBJECT
  public:
    explicit CuadroImagen(QWidget* padre);
    // Whether a click does something here: whether anything listens.
    bool pulsable() const;
  signals:
    void pulsado();

  protected:
    void mousePressEvent(QMouseEvent* e) override;
    void mouseReleaseEvent(QMouseEvent* e) override;

  private:
    bool pulsando_ = false;
};

} // namespace app
