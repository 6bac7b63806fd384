#include "store/Schema.h"

namespace {

using K = ColumnKind;

QList<ColumnDef> paymentColumns()
{
    return {
        {"NOM", K::Text, 7},         {"DATE", K::Date, 0},         {"S", K::Number, 0},
        {"NAME_PL1", K::Text, 40},   {"NAME_PL2", K::Text, 40},    {"NAME_PL3", K::Text, 40},
        {"NAME_PL4", K::Text, 40},   {"INN_PL", K::Text, 12},      {"SCH_DT", K::Text, 20},
        {"KPP_PL", K::Text, 10},     {"BANK_PL1", K::Text, 160},    {"K_SBANK_DT", K::Text, 20},
        {"MFOBANK_PL", K::Text, 9},  {"TNP_PL", K::Text, 5},       {"NNP_PL", K::Text, 25},
        {"NAME_POL1", K::Text, 30},  {"NAME_POL2", K::Text, 30},   {"NAME_POL3", K::Text, 30},
        {"NAME_POL4", K::Text, 30},  {"INN_POL", K::Text, 12},     {"SCH_KT", K::Text, 20},
        {"KPP_POL", K::Text, 10},    {"BANK_POL1", K::Text, 160},   {"K_SBANK_KT", K::Text, 20},
        {"MFOBANKPOL", K::Text, 9},  {"TNP_POL", K::Text, 5},      {"NNP_POL", K::Text, 25},
        {"NAZNACH1", K::Text, 50},   {"NAZNACH2", K::Text, 50},    {"NAZNACH3", K::Text, 50},
        {"NAZNACH4", K::Text, 40},   {"NAZNACH5", K::Text, 30},    {"OCHER_PL", K::Text, 1},
        {"NDS", K::Text, 2},         {"P101_STATU", K::Text, 2},   {"P104_KBK", K::Text, 20},
        {"P105_OKATO", K::Text, 11}, {"P106_OSNOV", K::Text, 2},   {"P107_PERIO", K::Text, 10},
        {"P108_N_DOC", K::Text, 10}, {"P109_D_DOC", K::Text, 10},  {"P110_TIP", K::Text, 2},
        {"PRIZN_DK", K::Text, 1},    {"VID_PLAT", K::Text, 1},     {"PER1", K::Text, 250},
        {"VID_OP", K::Text, 2},      {"NALOG", K::Logical, 0},     {"ID", K::Text, 15},
        {"CHEKED", K::Text, 1},      {"LOGIN", K::Text, 1},
        // Added later, at the end of both tables: field 22, the accrual's identifier or "0".
        {"P22_KOD", K::Text, 25},
    };
}

QList<ColumnDef> directoryColumns(bool withPrior)
{
    QList<ColumnDef> columns = {
        {"ID", K::Text, 15},    {"INN", K::Text, 12},   {"KPP", K::Text, 10},
        {"SCHET", K::Text, 20}, {"BIK", K::Text, 9},    {"NAME1", K::Text, 30},
        {"NAME2", K::Text, 30}, {"NAME3", K::Text, 30}, {"NAME4", K::Text, 30},
        {"NAME", K::Text, 20},
    };
    if (withPrior)
        columns.append({"PRIOR", K::Text, 1});
    columns.append({Schema::hiddenKey, K::Integer, 0});
    return columns;
}

QList<TableDef> buildTables()
{
    return {
        {"PL", paymentColumns(), "ID", false},
        {"PL_A", paymentColumns(), "ID", false},
        {"PARAM",
         {{"LOGIN", K::Text, 30}, {"PAS", K::Text, 1}, {"P0", K::Logical, 0},
          {"P1", K::Text, 10}, {"P2", K::Text, 8}, {"P3", K::Text, 5}, {"P4", K::Text, 10},
          {"P5", K::Text, 30}, {"P6", K::Text, 1}, {Schema::hiddenKey, K::Integer, 0}},
         Schema::hiddenKey, true},
        {"S_PLAT", directoryColumns(true), Schema::hiddenKey, true},
        {"S_POL", directoryColumns(false), Schema::hiddenKey, true},
        {"BANK",
         {{"NEWNUM", K::Text, 9}, {"NAMEP", K::Text, 160}, {"KSNP", K::Text, 20},
          {"NNP", K::Text, 25}, {"TNP", K::Text, 1},
          // "V" when the bank's licence is revoked or it left the directory.
          {"OTZYV", K::Text, 1}},
         nullptr, false},
        {"TNP", {{"KOD", K::Text, 1}, {"NAME", K::Text, 5}}, nullptr, false},
        {"N_PARAM", {{"TIP", K::Text, 1}, {"KOD", K::Text, 2}, {"NAME", K::Text, 100}}, nullptr, false},
        {"NALOG", {{"KOD", K::Logical, 0}, {"NAME", K::Text, 20}}, nullptr, false},
        {"VID_PL", {{"KOD", K::Text, 1}, {"NAME", K::Text, 20}}, nullptr, false},
    };
}

} // namespace

namespace Schema {

const QList<TableDef> &tables()
{
    static const QList<TableDef> all = buildTables();
    return all;
}

const TableDef *table(const QString &name)
{
    for (const TableDef &t : tables())
        if (name.compare(QLatin1String(t.name), Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

const ColumnDef *column(const TableDef &table, const QString &name)
{
    for (const ColumnDef &c : table.columns)
        if (name.compare(QLatin1String(c.name), Qt::CaseInsensitive) == 0)
            return &c;
    return nullptr;
}

} // namespace Schema
