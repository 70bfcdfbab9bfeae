#include "app/splash.h"

#include "app/pictures.h"

#include <QLabel>
#include <QProgressBar>
#include <QTimer>
#include <QVBoxLayout>

Splash::Splash(QWidget* parent)
    : QWidget(parent, Qt::SplashScreen | Qt::FramelessWindowHint), pb1(new QProgressBar(this)),
      Timer1(new QTimer(this)) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QStringLiteral("Velarco"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(32, 24, 32, 24);

    auto* Image2 = new QLabel(this);
    Image2->setObjectName(QStringLiteral("Image2"));
    Image2->setPixmap(applicationIcon().pixmap(96, 96));
    auto* Label1 = new QLabel(QStringLiteral("Velarco"), this);
    Label1->setObjectName(QStringLiteral("Label1"));
    QFont title = Label1->font();
    title.setPointSizeF(title.pointSizeF() * 2.4);
    title.setBold(true);
    Label1->setFont(title);
    auto* Label2 = new QLabel(versionLine(), this);
    Label2->setObjectName(QStringLiteral("Label2"));
    for (QLabel* label : {Image2, Label1, Label2}) {
        label->setAlignment(Qt::AlignCenter);
        layout->addWidget(label);
    }

    pb1->setObjectName(QStringLiteral("pb1"));
    pb1->setRange(0, 200);
    pb1->setValue(0);
    pb1->setTextVisible(false);
    layout->addWidget(pb1);

    Timer1->setObjectName(QStringLiteral("Timer1"));
    Timer1->setInterval(100);
    connect(Timer1, &QTimer::timeout, this, &Splash::tick);
    Timer1->start();
    setFixedSize(sizeHint().expandedTo(QSize(420, 0)));
}

QString Splash::versionLine() {
    return QStringLiteral("Versione ") + QStringLiteral(VELARCO_VERSION) +
           QStringLiteral(" — registro delle ritenute d'acconto, sviluppato con Qt");
}

void Splash::tick() {
    pb1->setValue(pb1->value() + 5);
    if (pb1->value() > 190) {
        Timer1->stop();
        close();
        Q_EMIT finished();
    }
}
