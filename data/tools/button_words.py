"""The words of the main window's three skinned buttons, one table per language: what the skin
generator draws on the pair and signal strips (make_skin.py) and the buttons' accessible names in
the language files (make_texts.py). Both read this table, so a picture and its name cannot drift
apart. The close button's picture is a cross without words; its name is still the language's.
"""

# Control names of the main window, in the designed tab order.
BUTTONS = ("bt_Close", "bt_NewMultiPairProcess", "bt_OpenRSSIDisplay")

# language: (close, pair devices, signal)
WORDS = {
    "English": ("Close", "Pair devices", "Signal"),
    "German": ("Schließen", "Geräte koppeln", "Signalstärke"),
    "FrenchF": ("Fermer", "Associer", "Signal"),
    "Spanish": ("Cerrar", "Emparejar", "Señal"),
    "Italian": ("Chiudi", "Associa", "Segnale"),
    "Dutch": ("Sluiten", "Koppelen", "Signaal"),
    "PortugueseP": ("Fechar", "Emparelhar", "Sinal"),
    "Russian": ("Закрыть", "Сопряжение", "Сигнал"),
    "Turkish": ("Kapat", "Eşleştir", "Sinyal"),
    "ChineseT": ("關閉", "配對裝置", "訊號"),
    "ChineseS": ("关闭", "配对设备", "信号"),
    "Japanese": ("閉じる", "ペアリング", "信号"),
    "Korean": ("닫기", "페어링", "신호"),
}


def names(language):
    """(control name, accessible name) of the three buttons in the language."""
    return list(zip(BUTTONS, WORDS[language]))
