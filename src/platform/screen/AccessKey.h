#pragma once

#include <QString>

// A control's caption as it reads: the "&" that marks its access key dropped, and "&&" read as one "&".
QString withoutAccessKey(QString caption);
