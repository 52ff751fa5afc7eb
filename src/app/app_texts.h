#pragma once

// User-visible texts of the application, as GBK bytes.
namespace px3::texts {

// The application title, also the caption of its error boxes.
extern const char kAppTitle[];

}  // namespace px3::texts
