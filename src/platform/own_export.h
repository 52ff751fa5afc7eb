#pragma once

namespace px3 {

// The address of a function as an export table holds it; the caller casts it to its real type.
using ExportedEntry = void (*)();

// The entry point that the running program's executable exports under name (on Windows its
// export table, elsewhere its dynamic symbols), or nullptr when it exports none by that name.
// The lookup is made afresh on every call.
ExportedEntry FindOwnExport(const char* name);

}  // namespace px3
