#pragma once
// Pattern matching with the wildcards of "like" and of the allowed/forbidden
// values of a field: "?" one character, "*" any run, "#" one digit,
// "[abc]" / "[a-z]" one of a list, "[!abc]" none of it. Case is ignored.
#include <QStringView>

bool CorrispondeModello(QStringView valore, QStringView modello);
