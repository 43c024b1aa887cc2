#pragma once
// The application's own string table: the few texts the program carries itself rather
// than in a language library (numbers kAppStr... of settings/StringIds.h).

// UTF-8 text of application string `number`; null for an unknown number.
const char* ApplicationString(int number);
