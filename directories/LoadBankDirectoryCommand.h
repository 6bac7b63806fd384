#pragma once

class Session;

// "ЗАГРУЗКА СПРАВОЧНИКА БАНКОВ": asks for an ED807 or BNKSEEK.DBF file and writes its banks
// to BANK under a progress box that can be cancelled, then says what changed. A refusal
// (the reader's, a file without banks, a cancel) throws AppError and leaves BANK as it was.
void LoadBankDirectoryCommand(Session &session);
