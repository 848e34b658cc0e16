// Build-time tool: scales a pixel-art picture to a square PNG of the given size
// with nearest-neighbour sampling, so every source pixel stays a crisp block.
// Usage: escalar_icono ORIGEN.xpm LADO DESTINO.png
#include <QImage>

#include <cstdio>
#include <cstdlib>

int main(int argc, char* argv[]) {
    if (argc != 4) {
        std::fprintf(stderr, "uso: %s ORIGEN LADO DESTINO.png\n", argv[0]);
        return 2;
    }
    const QImage origen(QString::fromLocal8Bit(argv[1]));
    const int lado = std::atoi(argv[2]);
    if (origen.isNull() || lado <= 0) {
        std::fprintf(stderr, "escalar_icono: no se puede leer %s o el lado %s no vale\n", argv[1],
                     argv[2]);
        return 1;
    }
    const QImage escalada = origen.convertToFormat(QImage::Format_ARGB32)
                                .scaled(lado, lado, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    if (!escalada.save(QString::fromLocal8Bit(argv[3]), "PNG")) {
        std::fprintf(stderr, "escalar_icono: no se puede escribir %s\n", argv[3]);
        return 1;
    }
    return 0;
}
