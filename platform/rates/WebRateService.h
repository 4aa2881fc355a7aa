#pragma once
#include <QString>
#include <functional>
#include <memory>

// The web rate service: value of one unit of a currency in the base currency,
// 0 when no rate is known.
class WebRateService {
public:
    virtual ~WebRateService() = default;
    virtual double CambioAttuale(QString& valuta) = 0;
    virtual double CambioStorico(qint16& anno, qint16& mese, QString& valuta) = 0;
};

// The service is created anew for each look-up.
using WebRateServiceFactory = std::function<std::unique_ptr<WebRateService>()>;
