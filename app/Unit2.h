// The car-list editor window. Created hidden at start-up and kept until the
// program ends; only shown and hidden.
#pragma once

#include <QWidget>

class TForm2 : public QWidget {
    Q_OBJECT
public:
    TForm2();
};
