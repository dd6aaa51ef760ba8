#!/usr/bin/env python3
"""Writes the launcher's language files from the texts below (UTF-8 source, reviewable here).

  Forms/Tandrel_Program/Texts/<Language>.txt   the main window's label captions and hints
  Forms/Texts/<Language>.txt                   the receiver messages, shared with the modules

Both in section "MultiPairForm.dll". A file whose texts are plain ASCII is written as ASCII; any
other is UTF-16 LE with a byte-order mark, which the platform's profile reader needs to read it
whatever the system code page. Lines end in CR LF. A "|" in a text below becomes the line-break
token (four backslashes) that the launcher turns into a new line.

Run from anywhere: python3 data/tools/make_texts.py [data folder]. It refuses texts that would
not fit their labels (a rough Tahoma width estimate) so a translation that grows is noticed.
"""
import os
import sys
import unicodedata

SECTION = "MultiPairForm.dll"
LINE_BREAK = "\\" * 4

LABELS = ["lb_Title", "lb_ProgramTitle", "lb_ForMeeting", "lb_ForMeetingNotes", "lb_ForLife",
          "lb_ForLifeNotes"]
HINTS = ["lb_ForMeeting", "lb_ForLife"]
MESSAGES = ["NoDongleExists", "MultipleDongle"]

# Label boxes of the main window: width, height in pixels, font height in pixels, bold.
BOXES = {
    "lb_Title": (147, 18, 15, True),
    "lb_ProgramTitle": (131, 18, 12, False),
    "lb_ForMeeting": (321, 18, 12, True),
    "lb_ForMeetingNotes": (335, 55, 11, False),
    "lb_ForLife": (321, 18, 12, True),
    "lb_ForLifeNotes": (335, 58, 11, False),
}

# Per language: captions of LABELS, hints of HINTS, then MESSAGES, in those orders.
TEXTS = {
    "English": (
        ["Multi-Link Utility", "Tandrel", "Pair new devices",
         "One receiver for several wireless keyboards and mice.|Start pairing below, then press "
         "the connect button on each new device.",
         "Radio signal strength (RSSI)",
         "Shows the receiver's radio channel and signal strength live.|Use it to find a good "
         "place for the receiver and your devices."],
        ["Pair new keyboards and mice with the receiver",
         "Show the radio channel and signal strength (RSSI)"],
        ["No suitable receiver was found. Plug the receiver into a USB port and try again. An "
         "older receiver may need a firmware update.",
         "More than one receiver is plugged in. Leave only the receiver you want to set up "
         "plugged in and try again."]),
    "German": (
        ["Multi-Link-Tool", "Tandrel", "Neue Geräte koppeln",
         "Ein Empfänger für mehrere Funktastaturen und -mäuse.|Starten Sie unten das Koppeln und "
         "drücken Sie dann die Verbindungstaste an jedem neuen Gerät.",
         "Funksignalstärke (RSSI)",
         "Zeigt Funkkanal und Signalstärke des Empfängers in Echtzeit.|So finden Sie einen guten "
         "Platz für Empfänger und Geräte."],
        ["Neue Tastaturen und Mäuse mit dem Empfänger koppeln",
         "Funkkanal und Signalstärke (RSSI) anzeigen"],
        ["Kein geeigneter Empfänger gefunden. Stecken Sie den Empfänger in einen USB-Anschluss "
         "und versuchen Sie es erneut. Ältere Empfänger brauchen eventuell ein Firmware-Update.",
         "Es ist mehr als ein Empfänger angeschlossen. Lassen Sie nur den Empfänger eingesteckt, "
         "den Sie einrichten möchten, und versuchen Sie es erneut."]),
    "FrenchF": (
        ["Outil Multi-Link", "Tandrel", "Associer de nouveaux appareils",
         "Un seul récepteur pour plusieurs claviers et souris sans fil.|Lancez l'association "
         "ci-dessous, puis appuyez sur le bouton de connexion de chaque nouvel appareil.",
         "Force du signal radio (RSSI)",
         "Affiche en direct le canal radio et la force du signal du récepteur.|Pratique pour "
         "bien placer le récepteur et vos appareils."],
        ["Associer de nouveaux claviers et souris au récepteur",
         "Afficher le canal radio et la force du signal (RSSI)"],
        ["Aucun récepteur compatible n'a été trouvé. Branchez le récepteur sur un port USB et "
         "réessayez. Un récepteur plus ancien peut nécessiter une mise à jour du micrologiciel.",
         "Plusieurs récepteurs sont branchés. Ne laissez branché que le récepteur à configurer, "
         "puis réessayez."]),
    "Spanish": (
        ["Multi-Link", "Tandrel", "Emparejar dispositivos nuevos",
         "Un solo receptor para varios teclados y ratones inalámbricos.|Inicie el emparejamiento "
         "abajo y pulse el botón de conexión de cada dispositivo nuevo.",
         "Intensidad de la señal de radio (RSSI)",
         "Muestra en directo el canal de radio y la intensidad de señal del receptor.|Le ayuda a "
         "encontrar un buen lugar para el receptor y sus dispositivos."],
        ["Emparejar teclados y ratones nuevos con el receptor",
         "Mostrar el canal de radio y la intensidad de señal (RSSI)"],
        ["No se ha encontrado ningún receptor compatible. Conecte el receptor a un puerto USB y "
         "vuelva a intentarlo. Un receptor antiguo puede necesitar una actualización de firmware.",
         "Hay más de un receptor conectado. Deje conectado solo el receptor que desea configurar "
         "y vuelva a intentarlo."]),
    "Italian": (
        ["Utilità Multi-Link", "Tandrel", "Associa nuovi dispositivi",
         "Un unico ricevitore per più tastiere e mouse wireless.|Avvia l'associazione qui sotto, "
         "poi premi il tasto di connessione su ogni nuovo dispositivo.",
         "Potenza del segnale radio (RSSI)",
         "Mostra in tempo reale il canale radio e la potenza del segnale del ricevitore.|Utile "
         "per trovare la posizione migliore per ricevitore e dispositivi."],
        ["Associa nuove tastiere e nuovi mouse al ricevitore",
         "Mostra il canale radio e la potenza del segnale (RSSI)"],
        ["Nessun ricevitore compatibile trovato. Collega il ricevitore a una porta USB e riprova. "
         "Un ricevitore meno recente potrebbe richiedere un aggiornamento del firmware.",
         "Sono collegati più ricevitori. Lascia collegato solo il ricevitore da configurare e "
         "riprova."]),
    "Dutch": (
        ["Multi-Link-tool", "Tandrel", "Nieuwe apparaten koppelen",
         "Eén ontvanger voor meerdere draadloze toetsenborden en muizen.|Start hieronder het "
         "koppelen en druk daarna op de verbindingsknop van elk nieuw apparaat.",
         "Sterkte van het radiosignaal (RSSI)",
         "Toont live het radiokanaal en de signaalsterkte van de ontvanger.|Zo vindt u een goede "
         "plek voor de ontvanger en uw apparaten."],
        ["Nieuwe toetsenborden en muizen aan de ontvanger koppelen",
         "Radiokanaal en signaalsterkte (RSSI) weergeven"],
        ["Geen geschikte ontvanger gevonden. Sluit de ontvanger aan op een USB-poort en probeer "
         "het opnieuw. Een oudere ontvanger heeft mogelijk een firmware-update nodig.",
         "Er is meer dan één ontvanger aangesloten. Laat alleen de ontvanger aangesloten die u "
         "wilt instellen en probeer het opnieuw."]),
    "PortugueseP": (
        ["Multi-Link", "Tandrel", "Emparelhar novos dispositivos",
         "Um único recetor para vários teclados e ratos sem fios.|Inicie o emparelhamento abaixo "
         "e prima o botão de ligação de cada novo dispositivo.",
         "Intensidade do sinal de rádio (RSSI)",
         "Mostra em tempo real o canal de rádio e a intensidade do sinal do recetor.|Ajuda a "
         "encontrar um bom local para o recetor e os dispositivos."],
        ["Emparelhar novos teclados e ratos com o recetor",
         "Mostrar o canal de rádio e a intensidade do sinal (RSSI)"],
        ["Não foi encontrado nenhum recetor compatível. Ligue o recetor a uma porta USB e tente "
         "novamente. Um recetor mais antigo pode precisar de uma atualização de firmware.",
         "Está ligado mais do que um recetor. Deixe ligado apenas o recetor que pretende "
         "configurar e tente novamente."]),
    "Russian": (
        ["Multi-Link", "Tandrel", "Сопряжение новых устройств",
         "Один приёмник для нескольких беспроводных клавиатур и мышей.|Запустите сопряжение "
         "ниже, затем нажмите кнопку подключения на каждом новом устройстве.",
         "Уровень радиосигнала (RSSI)",
         "Показывает радиоканал и уровень сигнала приёмника в реальном времени.|Помогает найти "
         "удачное место для приёмника и устройств."],
        ["Подключить новые клавиатуры и мыши к приёмнику",
         "Показать радиоканал и уровень сигнала (RSSI)"],
        ["Подходящий приёмник не найден. Подключите приёмник к USB-порту и повторите попытку. "
         "Старому приёмнику может потребоваться обновление прошивки.",
         "Подключено несколько приёмников. Оставьте подключённым только тот приёмник, который "
         "нужно настроить, и повторите попытку."]),
    "Turkish": (
        ["Multi-Link Aracı", "Tandrel", "Yeni cihazları eşleştir",
         "Birden fazla kablosuz klavye ve fare için tek alıcı.|Aşağıdan eşleştirmeyi başlatın, "
         "ardından her yeni cihazın bağlantı düğmesine basın.",
         "Radyo sinyal gücü (RSSI)",
         "Alıcının radyo kanalını ve sinyal gücünü canlı olarak gösterir.|Alıcı ve cihazlarınız "
         "için iyi bir yer bulmanıza yardımcı olur."],
        ["Yeni klavye ve fareleri alıcıyla eşleştir",
         "Radyo kanalını ve sinyal gücünü (RSSI) göster"],
        ["Uygun bir alıcı bulunamadı. Alıcıyı bir USB bağlantı noktasına takıp yeniden deneyin. "
         "Eski bir alıcının ürün yazılımının güncellenmesi gerekebilir.",
         "Birden fazla alıcı takılı. Yalnızca ayarlamak istediğiniz alıcıyı takılı bırakıp "
         "yeniden deneyin."]),
    "ChineseT": (
        ["多連接收器工具", "Tandrel", "配對新裝置",
         "一個接收器即可連接多組無線鍵盤與滑鼠。|請按下方按鈕開始配對，再按下每個新裝置上的連線鍵。",
         "無線訊號強度 (RSSI)",
         "即時顯示接收器的無線頻道與訊號強度。|可協助您為接收器與裝置找到最佳擺放位置。"],
        ["將新的鍵盤與滑鼠配對到接收器", "顯示無線頻道與訊號強度 (RSSI)"],
        ["找不到可用的接收器。請將接收器插入 USB 連接埠後再試一次。較舊的接收器可能需要更新韌體。",
         "偵測到一個以上的接收器。請只保留要設定的接收器，然後再試一次。"]),
    "ChineseS": (
        ["多连接收器工具", "Tandrel", "配对新设备",
         "一个接收器即可连接多个无线键盘和鼠标。|请点击下方按钮开始配对，然后按下每个新设备上的连接键。",
         "无线信号强度 (RSSI)",
         "实时显示接收器的无线信道和信号强度。|帮助您为接收器和设备找到最佳摆放位置。"],
        ["将新的键盘和鼠标与接收器配对", "显示无线信道和信号强度 (RSSI)"],
        ["未找到可用的接收器。请将接收器插入 USB 端口后重试。较旧的接收器可能需要升级固件。",
         "检测到多个接收器。请只保留要设置的接收器，然后重试。"]),
    "Japanese": (
        ["マルチリンク設定", "Tandrel", "新しいデバイスのペアリング",
         "1 台のレシーバーで複数のワイヤレスキーボードとマウスを使えます。|下のボタンでペアリングを"
         "開始し、新しいデバイスの接続ボタンを押してください。",
         "無線信号強度 (RSSI)",
         "レシーバーの無線チャンネルと信号強度をリアルタイムで表示します。|レシーバーとデバイスの"
         "最適な設置場所を探すのに役立ちます。"],
        ["新しいキーボードとマウスをレシーバーとペアリングします",
         "無線チャンネルと信号強度 (RSSI) を表示します"],
        ["使用できるレシーバーが見つかりません。レシーバーを USB ポートに接続して、もう一度お試し"
         "ください。古いレシーバーはファームウェアの更新が必要な場合があります。",
         "複数のレシーバーが接続されています。設定するレシーバーだけを接続したまま、もう一度お試し"
         "ください。"]),
    "Korean": (
        ["멀티링크 도구", "Tandrel", "새 장치 페어링",
         "수신기 하나로 여러 무선 키보드와 마우스를 사용할 수 있습니다.|아래에서 페어링을 시작한 "
         "다음 새 장치마다 연결 버튼을 누르세요.",
         "무선 신호 세기 (RSSI)",
         "수신기의 무선 채널과 신호 세기를 실시간으로 표시합니다.|수신기와 장치를 둘 가장 좋은 "
         "위치를 찾는 데 도움이 됩니다."],
        ["새 키보드와 마우스를 수신기와 페어링합니다", "무선 채널과 신호 세기(RSSI)를 표시합니다"],
        ["사용할 수 있는 수신기를 찾을 수 없습니다. 수신기를 USB 포트에 연결한 후 다시 시도하세요. "
         "오래된 수신기는 펌웨어 업데이트가 필요할 수 있습니다.",
         "수신기가 두 개 이상 연결되어 있습니다. 설정할 수신기만 연결한 상태로 다시 시도하세요."]),
}


# The reference feature modules' texts, shared text folder only. The multi-pair module's keys go
# into the existing section "MultiPairForm.dll" (the reader searches only the first section of a
# name); the others have a section named after their library. "%1", "%2" are filled in by the
# module. Languages without an entry here fall back to English.txt.
MODULE_TEXTS = {
    "English": {
        "MultiPairForm.dll": [
            ("Title", "Pair new devices"),
            ("Instructions", "Press Start, then press the connect button on each new keyboard or "
                             "mouse within 30 seconds."),
            ("Ready", "Ready to pair."),
            ("Waiting", "Press the connect button on each new device. %1 s left."),
            ("Finished", "Pairing finished. Devices paired: %1."),
            ("Stopped", "Pairing stopped."),
            ("NoAnswer", "The receiver does not answer. Check that it is plugged in, then press "
                         "Start to try again."),
            ("DeviceList", "Devices paired in this session:"),
            ("Keyboard", "Keyboard"),
            ("Mouse", "Mouse"),
            ("Identifier", "ID %1"),
            ("Start", "&Start"),
            ("Stop", "S&top"),
            ("Close", "Close"),
        ],
        "MessageConfirm.dll": [("Caption", "Tandrel")],
        "RSSIDisplay.dll": [
            ("Title", "Radio signal (RSSI)"),
            ("Waiting", "Asking the receiver..."),
            ("Values", "Channel %1, signal level %2 of 255 (%3)"),
            ("Strong", "strong"),
            ("Fair", "fair"),
            ("Weak", "weak"),
            ("Removed", "The receiver was removed. This window closes."),
            ("LegendLevel", "Signal level (0 to 255)"),
            ("LegendChannel", "Channel (0 to 31)"),
            ("LegendTime", "last 60 seconds"),
            ("Close", "Close"),
        ],
    },
    "German": {
        "MultiPairForm.dll": [
            ("Title", "Neue Geräte koppeln"),
            ("Instructions", "Klicken Sie auf Starten und drücken Sie dann innerhalb von 30 "
                             "Sekunden die Verbindungstaste jeder neuen Tastatur oder Maus."),
            ("Ready", "Bereit zum Koppeln."),
            ("Waiting", "Drücken Sie die Verbindungstaste an jedem neuen Gerät. Noch %1 s."),
            ("Finished", "Koppeln beendet. Gekoppelte Geräte: %1."),
            ("Stopped", "Koppeln angehalten."),
            ("NoAnswer", "Der Empfänger antwortet nicht. Prüfen Sie, ob er eingesteckt ist, und "
                         "klicken Sie dann erneut auf Starten."),
            ("DeviceList", "In dieser Sitzung gekoppelte Geräte:"),
            ("Keyboard", "Tastatur"),
            ("Mouse", "Maus"),
            ("Identifier", "ID %1"),
            ("Start", "&Starten"),
            ("Stop", "&Anhalten"),
            ("Close", "Schließen"),
        ],
        "MessageConfirm.dll": [("Caption", "Tandrel")],
        "RSSIDisplay.dll": [
            ("Title", "Funksignal (RSSI)"),
            ("Waiting", "Empfänger wird abgefragt ..."),
            ("Values", "Kanal %1, Signalstärke %2 von 255 (%3)"),
            ("Strong", "stark"),
            ("Fair", "mittel"),
            ("Weak", "schwach"),
            ("Removed", "Der Empfänger wurde entfernt. Dieses Fenster wird geschlossen."),
            ("LegendLevel", "Signalstärke (0 bis 255)"),
            ("LegendChannel", "Kanal (0 bis 31)"),
            ("LegendTime", "letzte 60 Sekunden"),
            ("Close", "Schließen"),
        ],
    },
}


def module_lines(language):
    """Lines for the shared file: first the keys that join the open section, then new sections."""
    texts = MODULE_TEXTS.get(language, {})
    lines = [f"{key}={value(text)}" for key, text in texts.get(SECTION, [])]
    for section, entries in texts.items():
        if section != SECTION:
            lines.append(f"[{section}]")
            lines += [f"{key}={value(text)}" for key, text in entries]
    return lines

def char_width(c, size, bold):
    """A rough Tahoma advance in pixels: good enough to catch a text far too long."""
    if unicodedata.east_asian_width(c) in "WF":
        w = 1.0
    elif c in "iljtfrI.,:;'!|() -":
        w = 0.32
    elif c in "mwMW":
        w = 0.85
    elif c.isupper() or c.isdigit():
        w = 0.62
    else:
        w = 0.52
    return w * size * (1.1 if bold else 1.0)


def check_fit(language, label, text):
    width, height, size, bold = BOXES[label]
    line_height = size + 2
    lines = 0
    for part in text.split("|"):
        # Word wrap: count the lines the part takes at the label's width.
        lines += max(1, -(-int(sum(char_width(c, size, bold) for c in part)) // width))
    if lines * line_height > height + 2:
        sys.exit(f"{language}: {label} takes {lines} lines, more than its {width}x{height} box")


def file_bytes(lines):
    text = "".join(line + "\r\n" for line in lines)
    if text.isascii():
        return text.encode("ascii")
    return b"\xff\xfe" + text.encode("utf-16-le")


def value(text):
    assert "\n" not in text and not text.startswith(("\"", "'")), text
    return text.replace("|", LINE_BREAK)


def main():
    data = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    forms = os.path.join(data, "Tandrel_Program", "Forms")
    program_dir = os.path.join(forms, "Tandrel_Program", "Texts")
    shared_dir = os.path.join(forms, "Texts")
    os.makedirs(program_dir, exist_ok=True)
    os.makedirs(shared_dir, exist_ok=True)
    head = "; Generated by data/tools/make_texts.py; change the texts there."
    for language, (captions, hints, messages) in TEXTS.items():
        assert len(captions) == len(LABELS) and len(hints) == len(HINTS)
        assert len(messages) == len(MESSAGES)
        program = [head, f"; {language}: the launcher's main window.", f"[{SECTION}]"]
        for label, caption in zip(LABELS, captions):
            check_fit(language, label, caption)
            program.append(f"{label}->Caption={value(caption)}")
        for label, hint in zip(HINTS, hints):
            program.append(f"{label}->Hint={value(hint)}")
        shared = [head, f"; {language}: the receiver messages.", f"[{SECTION}]"]
        shared += [f"{key}={value(text)}" for key, text in zip(MESSAGES, messages)]
        shared += module_lines(language)
        for folder, lines in ((program_dir, program), (shared_dir, shared)):
            with open(os.path.join(folder, language + ".txt"), "wb") as f:
                f.write(file_bytes(lines))


if __name__ == "__main__":
    main()
