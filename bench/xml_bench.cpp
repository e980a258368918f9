// Export and local validation of a PIT-37 with PIT/O (two children), PIT/D and PIT-2K. The
// schema is our test schema of PIT-37 over the shipped shared schemas (the form's own 2022
// schema is not at hand); it imports the same shared types the real one does.
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <QString>

#include "app/util/Folders.h"
#include "xml/DeclarationExport.h"
#include "xml/XmlValidation.h"

namespace {

const QString kNamespace = QStringLiteral("http://crd.gov.pl/wzor/2023/03/13/12275/");

const QString kDeclaration = QStringLiteral(
    "1=12345678903\r\n2=98765432109\r\n5=2022\r\n6=0\r\n506=1\r\n606=0\r\n706=0\r\n10=1\r\n509=1435\r\n"
    "12=Kowalski\r\n13=Jan\r\n14=05.03.1980\r\n16=MAZOWIECKIE\r\n17=WARSZAWA\r\n18=WARSZAWA\r\n19=PROSTA\r\n"
    "20=1\r\n21=2\r\n22=WARSZAWA\r\n23=00-001\r\n24=Kowalska\r\n25=Anna\r\n26=01.01.1982\r\n28="
    "MAZOWIECKIE\r\n"
    "29=WARSZAWA\r\n30=WARSZAWA\r\n32=1\r\n34=WARSZAWA\r\n35=00-001\r\n52=85000\r\n53=3000\r\n54=82000\r\n"
    "55=0\r\n56=4200\r\n87=60000\r\n88=3000\r\n89=57000\r\n90=0\r\n91=2900\r\n122=11000\r\n123=8000\r\n"
    "124=1000\r\n127=120000\r\n129=120000\r\n130=9000\r\n133=2224\r\n135=6776\r\n137=6776\r\n138=0\r\n"
    "139=324\r\n147=0000012345\r\n148=101.64\r\n152=1\r\n154=1\r\n155=1\r\n559=1\r\n160=Jan Kowalski\r\n"
    "561=PL\r\n162=PLN\r\n163=PL61109010140000071219812874\r\n164=1\r\n564=1\r\n");

const QList<StoredAttachment> kAttachments = {
    {QStringLiteral("TFRMPIT_O"),
     QStringLiteral(
         "1=12345678903\r\n2=98765432109\r\n4=1\r\n5=Kowalski\r\n6=Jan\r\n7=05.03.1980\r\n"
         "8=Kowalska\r\n9=Anna\r\n10=01.01.1982\r\n11=1000\r\n53=1000\r\n1012=1000\r\n"
         "201=22222222222\r\n205=1112.04\r\n301=\r\n302=Zofia\r\n303=Kowalska\r\n304=01.02.2015\r\n"
         "305=1112.04\r\n")},
    {QStringLiteral("TFRMPIT_D"),
     QStringLiteral(
         "1=12345678903\r\n4=Kowalski\r\n5=Jan\r\n6=05.03.1980\r\n10=A\r\n14=200\r\n27=B\r\n35=7\r\n")},
    {QStringLiteral("TFRMPIT_2K"),
     QStringLiteral(
         "1=12345678903\r\n3=Kowalski\r\n4=Jan\r\n5=05.03.1980\r\n209=1\r\n10=Adres\r\n12=2021\r\n")},
};

XmlValidationOptions localOptions() {
    XmlValidationOptions o;
    o.localRepository = true;
    o.repositoryFolder = QStringLiteral(SOURCE_ROOT "/data/_BIN2022/Repozytorium");
    return o;
}

const QString kSchema = QStringLiteral(SOURCE_ROOT "/tests/xml/fixtures/test_pit37.xsd");

void ExportAndValidate(benchmark::State& state) {
    SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
    const XmlValidationOptions options = localOptions();
    for (auto _ : state) {
        const XmlExportResult r =
            ExportDeclarationXml(QStringLiteral("TFRMPIT_37"), kDeclaration, kAttachments);
        const XmlValidationResult v =
            ValidateXmlData(kSchema, QString::fromUtf8(r.xml), true, kNamespace, options);
        if (!v.valid()) state.SkipWithError(XmlErrorMessage(v).toUtf8().constData());
        benchmark::DoNotOptimize(v.status);
    }
}
BENCHMARK(ExportAndValidate)->Unit(benchmark::kMillisecond);

void ExportOnly(benchmark::State& state) {
    SetAppFolder(QStringLiteral(SOURCE_ROOT "/data"));
    for (auto _ : state) {
        const XmlExportResult r =
            ExportDeclarationXml(QStringLiteral("TFRMPIT_37"), kDeclaration, kAttachments);
        benchmark::DoNotOptimize(r.xml.size());
    }
}
BENCHMARK(ExportOnly)->Unit(benchmark::kMillisecond);

} // namespace
