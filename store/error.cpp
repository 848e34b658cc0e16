#include "store/error.h"

#include <cerrno>
#include <cstring>

namespace store {

Error ErrorDe(int codigo) {
    if (codigo == 0) {
        codigo = EIO;
    }
    switch (codigo) {
    case EACCES:
    case EPERM:
        return {codigo, "No tiene permiso para escribir en fichas.dat."};
    case EROFS:
        return {codigo, "El disco es de solo lectura."};
    case ENOSPC:
    case EDQUOT:
        return {codigo, "No queda espacio en el disco."};
    case EISDIR:
        return {codigo, "fichas.dat es una carpeta."};
    case EIO:
        return {codigo, "Error de entrada o salida del disco."};
    default:
        return {codigo, std::strerror(codigo)};
    }
}

} // namespace store
