#pragma once

class Session;

// "ВЫГРУЗКА В БАНК": the scope dialog over the list shown, as F4 chooses; the chosen
// completed orders checked, their problems shown and the export asked for again; the file's
// name; then the client-bank file written as export-bank writes it, and how many went.
void SendToBankCommand(Session &session);

// The name the bank's client program looks for, in the working folder.
inline constexpr const char *BankExchangeFileName = "1c_to_kl.txt";
