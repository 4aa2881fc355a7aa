#include "platform/runtime/Clock.h"

namespace {
std::function<QDate()> g_source;
}

QDate Clock::today() { return g_source ? g_source() : QDate::currentDate(); }
void Clock::setToday(std::function<QDate()> source) { g_source = std::move(source); }
