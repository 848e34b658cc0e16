#pragma once
// What a reading pass reads from: an open descriptor or bytes in memory.

#include "store/archivos.h"
#include "store/lector.h"

#include <cstddef>
#include <string_view>
#include <sys/types.h>

namespace store {

// Reads through `archivos` from `fd`, which must outlive the source.
Fuente DeDescriptor(Archivos& archivos, int fd);
// Reads `datos`, which must outlive the source.
Fuente DeMemoria(std::string_view datos);

// The first buffer for `largo` bytes: the whole of small data, one block of
// large data.
std::size_t BloquePara(off_t largo);

} // namespace store
