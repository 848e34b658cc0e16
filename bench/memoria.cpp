// memoria_lista [vacio]: opens the full list window offscreen over fichas.dat
// in the current directory, draws it, and prints the peak resident memory of
// the process ("pico_kb N"). With "vacio" it does the same in an empty
// directory: the same program and window with no cards, the baseline that
// the rows' cost is measured against.

#include "app/aplicacion.h"
#include "app/programa.h"

#include <QApplication>
#include <QLineEdit>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <sys/resource.h>
#include <unistd.h>

namespace {

// Offscreen Qt warns about what it cannot do (raise a window and so on);
// only real errors are worth printing among the timings.
void SoloErrores(QtMsgType tipo, const QMessageLogContext&, const QString& texto) {
    if (tipo == QtCriticalMsg || tipo == QtFatalMsg) {
        std::fprintf(stderr, "%s\n", qPrintable(texto));
    }
}

} // namespace

int main(int argc, char** argv) {
    const bool vacio = argc > 1 && std::string_view(argv[1]) == "vacio";
    std::string dir;
    if (vacio) {
        dir = (std::filesystem::temp_directory_path() / "folioteca-vacio-XXXXXX").string();
        if (::mkdtemp(dir.data()) == nullptr || ::chdir(dir.c_str()) != 0) {
            std::perror("mkdtemp");
            return 1;
        }
    }
    qInstallMessageHandler(SoloErrores);
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    QApplication aplicacion(argc, argv);
    app::PrepararAplicacion();
    app::Ventanas ventanas;
    app::RegistrarVentanas(ventanas);
    ventanas.salir = [](int) {};
    ventanas.cargar(app::Id::Lista);
    ventanas.mostrar(app::Id::Lista);
    QCoreApplication::processEvents();
    const QString ultima = ventanas.obtener(app::Id::Lista).control<QLineEdit>("txtNumero")->text();

    rusage uso{};
    ::getrusage(RUSAGE_SELF, &uso);
    std::printf("pico_kb %ld ultima %s\n", uso.ru_maxrss, qPrintable(ultima));
    if (vacio) {
        std::filesystem::remove(dir);
    }
    return 0;
}
