#pragma once
#include <QString>

class CGlobal;
class QObject;
class QWidget;

// The host screen interface, members in the interface's order. A screen that
// implements it is a QWidget with the signal "ExitControl()", which the host
// connects to close the screen: connect(screen->widget(), SIGNAL(ExitControl()), ...).
class IControl {
public:
    virtual ~IControl() = default;

    virtual void setCaption(QString& caption) = 0;  // write-only
    virtual void setCGlobal(CGlobal* global) = 0;
    virtual qint32 MinHeight() const = 0;
    virtual qint32 MinWidth() const = 0;
    virtual bool Resizable() const = 0;
    virtual bool Standard() const = 0;
    virtual void setStandard(bool value) = 0;
    virtual void SendControl() = 0;
    virtual QObject* ObjXP() const = 0;
    virtual void setObjXP(QObject* obj) = 0;
    virtual QWidget* EmptyForm() const = 0;
    virtual void setEmptyForm(QWidget* form) = 0;
    virtual bool Validate() = 0;
    virtual void CloseWindow() = 0;
    virtual void setParametro(QString parametro) = 0;  // write-only

    virtual QWidget* widget() = 0;
};
