#pragma once

#include <QWidget>

class Tavrelon : public QWidget
{
    Q_OBJECT
public:
    explicit Tavrelon(QWidget *parent = nullptr);
};
