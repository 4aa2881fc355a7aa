#pragma once
#include <QDate>
#include <functional>

// The platform clock; tests may fix "today".
namespace Clock {
QDate today();
void setToday(std::function<QDate()> source);  // an empty function restores the real clock
}  // namespace Clock
