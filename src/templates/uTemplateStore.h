// The template store: the templates the host uploaded, shared by every driver object of the
// process and kept in memory until the module is unloaded. Number 0 is never looked up in the
// store: it names the built-in template, read from the module's "ZeroTemplate" resource.
#pragma once

#include "templates/uTemplateErrors.h"

#include <string>

// Stores a copy of the template under its number, replacing an entry of the same number in its
// place. The description is ANSI. Always 0.
LONG PutTemplate(LONG Number, const std::string& Description, const Variant& Template);

// The template table and ANSI description stored under the number: 0, or 3007 when there is none
// or what was stored is not an array.
LONG GetTemplate(LONG Number, Variant& Template, std::string& Description);

// The built-in template's table and description: 0, or 3007 when the module has none.
LONG LoadZeroTemplate(Variant& Template, std::string& Description);
