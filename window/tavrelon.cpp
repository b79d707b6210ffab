#include "tavrelon.h"

Tavrelon::Tavrelon(QWidget *parent)
    : QWidget(parent)
{
    setFixedSize(482, 287);
}
