// The toolbar's 32 x 32 pictures and the program's icon, drawn by the program itself.
#pragma once

#include <QIcon>

QIcon CommandIcon(int id);
QIcon ProgramIcon();
