#!/usr/bin/env python3
"""Writes the launcher's language files from the texts below (UTF-8 source, reviewable here).

  Forms/Tandrel_Program/Texts/<Language>.txt   the main window's label captions and hints, and
                                               the accessible names of its three buttons
  Forms/Texts/<Language>.txt                   the receiver messages, shared with the modules

Both in section "MultiPairForm.dll". A file whose texts are plain ASCII is written as ASCII; any
other is UTF-16 LE with a byte-order mark, which the platform's profile reader needs to read it
whatever the system code page. Lines end in CR LF. A "|" in a text below becomes the line-break
token (four backslashes) that the launcher turns into a new line.

Run from anywhere: python3 data/tools/make_texts.py [data folder]. It refuses texts that would
not fit their labels or the modules' controls (a rough width estimate) so a translation that grows
is noticed, and module texts whose keys or placeholders differ from English. The buttons' names
come from button_words.py, the table the skin's button pictures are drawn from.
"""
import os
import re
import sys
import unicodedata

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
from button_words import WORDS, names  # noqa: E402

SECTION = "MultiPairForm.dll"
LINE_BREAK = "\\" * 4

LABELS = ["lb_Title", "lb_ProgramTitle", "lb_ForMeeting", "lb_ForMeetingNotes", "lb_ForLife",
          "lb_ForLifeNotes"]
HINTS = ["lb_ForMeeting", "lb_ForLife"]
MESSAGES = ["NoDongleExists", "MultipleDongle", "FirmwareTooOld"]

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
        ["No suitable receiver was found. Plug the receiver into a USB port and try again.",
         "More than one receiver is plugged in. Leave only the receiver you want to set up "
         "plugged in and try again.",
         "The receiver's firmware is too old for this program. Update the receiver's firmware "
         "and try again."]),
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
         "und versuchen Sie es erneut.",
         "Es ist mehr als ein Empfänger angeschlossen. Lassen Sie nur den Empfänger eingesteckt, "
         "den Sie einrichten möchten, und versuchen Sie es erneut.",
         "Die Firmware des Empfängers ist für dieses Programm zu alt. Aktualisieren Sie die "
         "Firmware des Empfängers und versuchen Sie es erneut."]),
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
         "réessayez.",
         "Plusieurs récepteurs sont branchés. Ne laissez branché que le récepteur à configurer, "
         "puis réessayez.",
         "Le micrologiciel du récepteur est trop ancien pour ce programme. Mettez à jour le "
         "micrologiciel du récepteur, puis réessayez."]),
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
         "vuelva a intentarlo.",
         "Hay más de un receptor conectado. Deje conectado solo el receptor que desea configurar "
         "y vuelva a intentarlo.",
         "El firmware del receptor es demasiado antiguo para este programa. Actualice el firmware "
         "del receptor y vuelva a intentarlo."]),
    "Italian": (
        ["Utilità Multi-Link", "Tandrel", "Associa nuovi dispositivi",
         "Un unico ricevitore per più tastiere e mouse wireless.|Avvia l'associazione qui sotto, "
         "poi premi il tasto di connessione su ogni nuovo dispositivo.",
         "Potenza del segnale radio (RSSI)",
         "Mostra in tempo reale il canale radio e la potenza del segnale del ricevitore.|Utile "
         "per trovare la posizione migliore per ricevitore e dispositivi."],
        ["Associa nuove tastiere e nuovi mouse al ricevitore",
         "Mostra il canale radio e la potenza del segnale (RSSI)"],
        ["Nessun ricevitore compatibile trovato. Collega il ricevitore a una porta USB e riprova.",
         "Sono collegati più ricevitori. Lascia collegato solo il ricevitore da configurare e "
         "riprova.",
         "Il firmware del ricevitore è troppo vecchio per questo programma. Aggiorna il firmware "
         "del ricevitore e riprova."]),
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
         "het opnieuw.",
         "Er is meer dan één ontvanger aangesloten. Laat alleen de ontvanger aangesloten die u "
         "wilt instellen en probeer het opnieuw.",
         "De firmware van de ontvanger is te oud voor dit programma. Werk de firmware van de "
         "ontvanger bij en probeer het opnieuw."]),
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
         "novamente.",
         "Está ligado mais do que um recetor. Deixe ligado apenas o recetor que pretende "
         "configurar e tente novamente.",
         "O firmware do recetor é demasiado antigo para este programa. Atualize o firmware do "
         "recetor e tente novamente."]),
    "Russian": (
        ["Multi-Link", "Tandrel", "Сопряжение новых устройств",
         "Один приёмник для нескольких беспроводных клавиатур и мышей.|Запустите сопряжение "
         "ниже, затем нажмите кнопку подключения на каждом новом устройстве.",
         "Уровень радиосигнала (RSSI)",
         "Показывает радиоканал и уровень сигнала приёмника в реальном времени.|Помогает найти "
         "удачное место для приёмника и устройств."],
        ["Подключить новые клавиатуры и мыши к приёмнику",
         "Показать радиоканал и уровень сигнала (RSSI)"],
        ["Подходящий приёмник не найден. Подключите приёмник к USB-порту и повторите попытку.",
         "Подключено несколько приёмников. Оставьте подключённым только тот приёмник, который "
         "нужно настроить, и повторите попытку.",
         "Прошивка приёмника слишком старая для этой программы. Обновите прошивку приёмника и "
         "повторите попытку."]),
    "Turkish": (
        ["Multi-Link Aracı", "Tandrel", "Yeni cihazları eşleştir",
         "Birden fazla kablosuz klavye ve fare için tek alıcı.|Aşağıdan eşleştirmeyi başlatın, "
         "ardından her yeni cihazın bağlantı düğmesine basın.",
         "Radyo sinyal gücü (RSSI)",
         "Alıcının radyo kanalını ve sinyal gücünü canlı olarak gösterir.|Alıcı ve cihazlarınız "
         "için iyi bir yer bulmanıza yardımcı olur."],
        ["Yeni klavye ve fareleri alıcıyla eşleştir",
         "Radyo kanalını ve sinyal gücünü (RSSI) göster"],
        ["Uygun bir alıcı bulunamadı. Alıcıyı bir USB bağlantı noktasına takıp yeniden deneyin.",
         "Birden fazla alıcı takılı. Yalnızca ayarlamak istediğiniz alıcıyı takılı bırakıp "
         "yeniden deneyin.",
         "Alıcının ürün yazılımı bu program için çok eski. Alıcının ürün yazılımını güncelleyip "
         "yeniden deneyin."]),
    "ChineseT": (
        ["多連接收器工具", "Tandrel", "配對新裝置",
         "一個接收器即可連接多組無線鍵盤與滑鼠。|請按下方按鈕開始配對，再按下每個新裝置上的連線鍵。",
         "無線訊號強度 (RSSI)",
         "即時顯示接收器的無線頻道與訊號強度。|可協助您為接收器與裝置找到最佳擺放位置。"],
        ["將新的鍵盤與滑鼠配對到接收器", "顯示無線頻道與訊號強度 (RSSI)"],
        ["找不到可用的接收器。請將接收器插入 USB 連接埠後再試一次。",
         "偵測到一個以上的接收器。請只保留要設定的接收器，然後再試一次。",
         "接收器的韌體版本過舊，無法搭配本程式使用。請更新接收器的韌體後再試一次。"]),
    "ChineseS": (
        ["多连接收器工具", "Tandrel", "配对新设备",
         "一个接收器即可连接多个无线键盘和鼠标。|请点击下方按钮开始配对，然后按下每个新设备上的连接键。",
         "无线信号强度 (RSSI)",
         "实时显示接收器的无线信道和信号强度。|帮助您为接收器和设备找到最佳摆放位置。"],
        ["将新的键盘和鼠标与接收器配对", "显示无线信道和信号强度 (RSSI)"],
        ["未找到可用的接收器。请将接收器插入 USB 端口后重试。",
         "检测到多个接收器。请只保留要设置的接收器，然后重试。",
         "接收器的固件版本过旧，无法用于本程序。请升级接收器固件后重试。"]),
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
         "ください。",
         "複数のレシーバーが接続されています。設定するレシーバーだけを接続したまま、もう一度お試し"
         "ください。",
         "レシーバーのファームウェアが古いため、このプログラムでは使用できません。レシーバーの"
         "ファームウェアを更新してから、もう一度お試しください。"]),
    "Korean": (
        ["멀티링크 도구", "Tandrel", "새 장치 페어링",
         "수신기 하나로 여러 무선 키보드와 마우스를 사용할 수 있습니다.|아래에서 페어링을 시작한 "
         "다음 새 장치마다 연결 버튼을 누르세요.",
         "무선 신호 세기 (RSSI)",
         "수신기의 무선 채널과 신호 세기를 실시간으로 표시합니다.|수신기와 장치를 둘 가장 좋은 "
         "위치를 찾는 데 도움이 됩니다."],
        ["새 키보드와 마우스를 수신기와 페어링합니다", "무선 채널과 신호 세기(RSSI)를 표시합니다"],
        ["사용할 수 있는 수신기를 찾을 수 없습니다. 수신기를 USB 포트에 연결한 후 다시 시도하세요.",
         "수신기가 두 개 이상 연결되어 있습니다. 설정할 수신기만 연결한 상태로 다시 시도하세요.",
         "수신기의 펌웨어가 너무 오래되어 이 프로그램에서 사용할 수 없습니다. 수신기의 펌웨어를 "
         "업데이트한 후 다시 시도하세요."]),
}


# The reference feature modules' texts, shared text folder only. The multi-pair module's keys go
# into the existing section "MultiPairForm.dll" (the reader searches only the first section of a
# name); the others have a section named after their library. "%1", "%2", "%3" are filled in by
# the module; "&" marks a button's access key. Every language has every key of English, with the
# same placeholders.
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
    "FrenchF": {
        "MultiPairForm.dll": [
            ("Title", "Associer de nouveaux appareils"),
            ("Instructions", "Cliquez sur Démarrer, puis, dans les 30 secondes, appuyez sur le "
                             "bouton de connexion de chaque nouveau clavier ou nouvelle souris."),
            ("Ready", "Prêt pour l'association."),
            ("Waiting", "Appuyez sur le bouton de connexion de chaque nouvel appareil. Temps "
                        "restant\u00a0: %1 s."),
            ("Finished", "Association terminée. Appareils associés\u00a0: %1."),
            ("Stopped", "Association arrêtée."),
            ("NoAnswer", "Le récepteur ne répond pas. Vérifiez qu'il est bien branché, puis "
                         "cliquez sur Démarrer pour réessayer."),
            ("DeviceList", "Appareils associés pendant cette session\u00a0:"),
            ("Keyboard", "Clavier"),
            ("Mouse", "Souris"),
            ("Identifier", "ID %1"),
            ("Start", "&Démarrer"),
            ("Stop", "&Arrêter"),
            ("Close", "Fermer"),
        ],
        "MessageConfirm.dll": [("Caption", "Tandrel")],
        "RSSIDisplay.dll": [
            ("Title", "Signal radio (RSSI)"),
            ("Waiting", "Interrogation du récepteur..."),
            ("Values", "Canal %1, niveau du signal %2 sur 255 (%3)"),
            ("Strong", "fort"),
            ("Fair", "moyen"),
            ("Weak", "faible"),
            ("Removed", "Le récepteur a été retiré. Cette fenêtre va se fermer."),
            ("LegendLevel", "Niveau du signal (0 à 255)"),
            ("LegendChannel", "Canal (0 à 31)"),
            ("LegendTime", "60 dernières secondes"),
            ("Close", "Fermer"),
        ],
    },
    "Spanish": {
        "MultiPairForm.dll": [
            ("Title", "Emparejar dispositivos nuevos"),
            ("Instructions", "Pulse Iniciar y, en los 30 segundos siguientes, pulse el botón de "
                             "conexión de cada teclado o ratón nuevo."),
            ("Ready", "Listo para emparejar."),
            ("Waiting", "Pulse el botón de conexión de cada dispositivo nuevo. Quedan %1 s."),
            ("Finished", "Emparejamiento finalizado. Dispositivos emparejados: %1."),
            ("Stopped", "Emparejamiento detenido."),
            ("NoAnswer", "El receptor no responde. Compruebe que está conectado y pulse Iniciar "
                         "para volver a intentarlo."),
            ("DeviceList", "Dispositivos emparejados en esta sesión:"),
            ("Keyboard", "Teclado"),
            ("Mouse", "Ratón"),
            ("Identifier", "ID %1"),
            ("Start", "&Iniciar"),
            ("Stop", "&Detener"),
            ("Close", "Cerrar"),
        ],
        "MessageConfirm.dll": [("Caption", "Tandrel")],
        "RSSIDisplay.dll": [
            ("Title", "Señal de radio (RSSI)"),
            ("Waiting", "Consultando el receptor..."),
            ("Values", "Canal %1, nivel de señal %2 de 255 (%3)"),
            ("Strong", "fuerte"),
            ("Fair", "aceptable"),
            ("Weak", "débil"),
            ("Removed", "Se ha retirado el receptor. Esta ventana se cerrará."),
            ("LegendLevel", "Nivel de señal (0 a 255)"),
            ("LegendChannel", "Canal (0 a 31)"),
            ("LegendTime", "últimos 60 segundos"),
            ("Close", "Cerrar"),
        ],
    },
    "Italian": {
        "MultiPairForm.dll": [
            ("Title", "Associa nuovi dispositivi"),
            ("Instructions", "Premi Avvia, poi entro 30 secondi premi il tasto di connessione di "
                             "ogni nuova tastiera o nuovo mouse."),
            ("Ready", "Pronto per l'associazione."),
            ("Waiting", "Premi il tasto di connessione su ogni nuovo dispositivo. Restano %1 s."),
            ("Finished", "Associazione completata. Dispositivi associati: %1."),
            ("Stopped", "Associazione interrotta."),
            ("NoAnswer", "Il ricevitore non risponde. Controlla che sia collegato, poi premi "
                         "Avvia per riprovare."),
            ("DeviceList", "Dispositivi associati in questa sessione:"),
            ("Keyboard", "Tastiera"),
            ("Mouse", "Mouse"),
            ("Identifier", "ID %1"),
            ("Start", "&Avvia"),
            ("Stop", "&Interrompi"),
            ("Close", "Chiudi"),
        ],
        "MessageConfirm.dll": [("Caption", "Tandrel")],
        "RSSIDisplay.dll": [
            ("Title", "Segnale radio (RSSI)"),
            ("Waiting", "Interrogazione del ricevitore..."),
            ("Values", "Canale %1, livello del segnale %2 su 255 (%3)"),
            ("Strong", "forte"),
            ("Fair", "discreto"),
            ("Weak", "debole"),
            ("Removed", "Il ricevitore è stato scollegato. Questa finestra verrà chiusa."),
            ("LegendLevel", "Livello del segnale (da 0 a 255)"),
            ("LegendChannel", "Canale (da 0 a 31)"),
            ("LegendTime", "ultimi 60 secondi"),
            ("Close", "Chiudi"),
        ],
    },
    "Dutch": {
        "MultiPairForm.dll": [
            ("Title", "Nieuwe apparaten koppelen"),
            ("Instructions", "Klik op Starten en druk binnen 30 seconden op de verbindingsknop "
                             "van elk nieuw toetsenbord en elke nieuwe muis."),
            ("Ready", "Klaar om te koppelen."),
            ("Waiting", "Druk op de verbindingsknop van elk nieuw apparaat. Nog %1 s."),
            ("Finished", "Koppelen voltooid. Gekoppelde apparaten: %1."),
            ("Stopped", "Koppelen gestopt."),
            ("NoAnswer", "De ontvanger reageert niet. Controleer of hij is aangesloten en klik "
                         "dan op Starten om het opnieuw te proberen."),
            ("DeviceList", "In deze sessie gekoppelde apparaten:"),
            ("Keyboard", "Toetsenbord"),
            ("Mouse", "Muis"),
            ("Identifier", "ID %1"),
            ("Start", "&Starten"),
            ("Stop", "S&toppen"),
            ("Close", "Sluiten"),
        ],
        "MessageConfirm.dll": [("Caption", "Tandrel")],
        "RSSIDisplay.dll": [
            ("Title", "Radiosignaal (RSSI)"),
            ("Waiting", "Ontvanger wordt uitgelezen..."),
            ("Values", "Kanaal %1, signaalniveau %2 van 255 (%3)"),
            ("Strong", "sterk"),
            ("Fair", "redelijk"),
            ("Weak", "zwak"),
            ("Removed", "De ontvanger is verwijderd. Dit venster wordt gesloten."),
            ("LegendLevel", "Signaalniveau (0 tot 255)"),
            ("LegendChannel", "Kanaal (0 tot 31)"),
            ("LegendTime", "laatste 60 seconden"),
            ("Close", "Sluiten"),
        ],
    },
    "PortugueseP": {
        "MultiPairForm.dll": [
            ("Title", "Emparelhar novos dispositivos"),
            ("Instructions", "Prima Iniciar e, nos 30 segundos seguintes, prima o botão de "
                             "ligação de cada novo teclado ou rato."),
            ("Ready", "Pronto para emparelhar."),
            ("Waiting", "Prima o botão de ligação de cada novo dispositivo. Faltam %1 s."),
            ("Finished", "Emparelhamento concluído. Dispositivos emparelhados: %1."),
            ("Stopped", "Emparelhamento interrompido."),
            ("NoAnswer", "O recetor não responde. Verifique se está ligado e prima Iniciar para "
                         "tentar novamente."),
            ("DeviceList", "Dispositivos emparelhados nesta sessão:"),
            ("Keyboard", "Teclado"),
            ("Mouse", "Rato"),
            ("Identifier", "ID %1"),
            ("Start", "&Iniciar"),
            ("Stop", "&Parar"),
            ("Close", "Fechar"),
        ],
        "MessageConfirm.dll": [("Caption", "Tandrel")],
        "RSSIDisplay.dll": [
            ("Title", "Sinal de rádio (RSSI)"),
            ("Waiting", "A consultar o recetor..."),
            ("Values", "Canal %1, nível do sinal %2 de 255 (%3)"),
            ("Strong", "forte"),
            ("Fair", "razoável"),
            ("Weak", "fraco"),
            ("Removed", "O recetor foi removido. Esta janela vai fechar."),
            ("LegendLevel", "Nível do sinal (0 a 255)"),
            ("LegendChannel", "Canal (0 a 31)"),
            ("LegendTime", "últimos 60 segundos"),
            ("Close", "Fechar"),
        ],
    },
    "Russian": {
        "MultiPairForm.dll": [
            ("Title", "Сопряжение новых устройств"),
            ("Instructions", "Нажмите «Начать», затем в течение 30 секунд нажмите кнопку "
                             "подключения на каждой новой клавиатуре или мыши."),
            ("Ready", "Готово к сопряжению."),
            ("Waiting", "Нажмите кнопку подключения на каждом новом устройстве. Осталось %1 с."),
            ("Finished", "Сопряжение завершено. Подключено устройств: %1."),
            ("Stopped", "Сопряжение остановлено."),
            ("NoAnswer", "Приёмник не отвечает. Проверьте, подключён ли он, и нажмите «Начать», "
                         "чтобы повторить попытку."),
            ("DeviceList", "Устройства, подключённые за этот сеанс:"),
            ("Keyboard", "Клавиатура"),
            ("Mouse", "Мышь"),
            ("Identifier", "ID %1"),
            ("Start", "&Начать"),
            ("Stop", "&Остановить"),
            ("Close", "Закрыть"),
        ],
        "MessageConfirm.dll": [("Caption", "Tandrel")],
        "RSSIDisplay.dll": [
            ("Title", "Радиосигнал (RSSI)"),
            ("Waiting", "Опрос приёмника..."),
            ("Values", "Канал %1, уровень сигнала %2 из 255 (%3)"),
            ("Strong", "сильный"),
            ("Fair", "средний"),
            ("Weak", "слабый"),
            ("Removed", "Приёмник отключён. Окно будет закрыто."),
            ("LegendLevel", "Уровень сигнала (от 0 до 255)"),
            ("LegendChannel", "Канал (от 0 до 31)"),
            ("LegendTime", "последние 60 секунд"),
            ("Close", "Закрыть"),
        ],
    },
    "Turkish": {
        "MultiPairForm.dll": [
            ("Title", "Yeni cihazları eşleştir"),
            ("Instructions", "Başlat'a basın, ardından 30 saniye içinde her yeni klavyenin veya "
                             "farenin bağlantı düğmesine basın."),
            ("Ready", "Eşleştirmeye hazır."),
            ("Waiting", "Her yeni cihazın bağlantı düğmesine basın. Kalan süre: %1 sn."),
            ("Finished", "Eşleştirme tamamlandı. Eşleştirilen cihaz sayısı: %1."),
            ("Stopped", "Eşleştirme durduruldu."),
            ("NoAnswer", "Alıcı yanıt vermiyor. Takılı olduğunu kontrol edin, ardından yeniden "
                         "denemek için Başlat'a basın."),
            ("DeviceList", "Bu oturumda eşleştirilen cihazlar:"),
            ("Keyboard", "Klavye"),
            ("Mouse", "Fare"),
            ("Identifier", "Kimlik %1"),
            ("Start", "&Başlat"),
            ("Stop", "&Durdur"),
            ("Close", "Kapat"),
        ],
        "MessageConfirm.dll": [("Caption", "Tandrel")],
        "RSSIDisplay.dll": [
            ("Title", "Radyo sinyali (RSSI)"),
            ("Waiting", "Alıcı sorgulanıyor..."),
            ("Values", "Kanal %1, sinyal düzeyi %2/255 (%3)"),
            ("Strong", "güçlü"),
            ("Fair", "orta"),
            ("Weak", "zayıf"),
            ("Removed", "Alıcı çıkarıldı. Bu pencere kapanacak."),
            ("LegendLevel", "Sinyal düzeyi (0-255)"),
            ("LegendChannel", "Kanal (0-31)"),
            ("LegendTime", "son 60 saniye"),
            ("Close", "Kapat"),
        ],
    },
    "ChineseT": {
        "MultiPairForm.dll": [
            ("Title", "配對新裝置"),
            ("Instructions", "請按「開始」，然後在 30 秒內按下每個新鍵盤或滑鼠上的連線鍵。"),
            ("Ready", "準備就緒，可以開始配對。"),
            ("Waiting", "請按下每個新裝置上的連線鍵。剩餘 %1 秒。"),
            ("Finished", "配對完成。已配對的裝置：%1 個。"),
            ("Stopped", "已停止配對。"),
            ("NoAnswer", "接收器沒有回應。請確認接收器已插好，然後按「開始」再試一次。"),
            ("DeviceList", "本次已配對的裝置："),
            ("Keyboard", "鍵盤"),
            ("Mouse", "滑鼠"),
            ("Identifier", "ID %1"),
            ("Start", "開始(&S)"),
            ("Stop", "停止(&T)"),
            ("Close", "關閉"),
        ],
        "MessageConfirm.dll": [("Caption", "Tandrel")],
        "RSSIDisplay.dll": [
            ("Title", "無線訊號 (RSSI)"),
            ("Waiting", "正在查詢接收器..."),
            ("Values", "頻道 %1，訊號強度 %2/255（%3）"),
            ("Strong", "強"),
            ("Fair", "普通"),
            ("Weak", "弱"),
            ("Removed", "接收器已移除，此視窗即將關閉。"),
            ("LegendLevel", "訊號強度 (0 至 255)"),
            ("LegendChannel", "頻道 (0 至 31)"),
            ("LegendTime", "最近 60 秒"),
            ("Close", "關閉"),
        ],
    },
    "ChineseS": {
        "MultiPairForm.dll": [
            ("Title", "配对新设备"),
            ("Instructions", "请点击“开始”，然后在 30 秒内按下每个新键盘或鼠标上的连接键。"),
            ("Ready", "准备就绪，可以开始配对。"),
            ("Waiting", "请按下每个新设备上的连接键。剩余 %1 秒。"),
            ("Finished", "配对完成。已配对的设备：%1 个。"),
            ("Stopped", "已停止配对。"),
            ("NoAnswer", "接收器没有响应。请确认接收器已插好，然后点击“开始”重试。"),
            ("DeviceList", "本次已配对的设备："),
            ("Keyboard", "键盘"),
            ("Mouse", "鼠标"),
            ("Identifier", "ID %1"),
            ("Start", "开始(&S)"),
            ("Stop", "停止(&T)"),
            ("Close", "关闭"),
        ],
        "MessageConfirm.dll": [("Caption", "Tandrel")],
        "RSSIDisplay.dll": [
            ("Title", "无线信号 (RSSI)"),
            ("Waiting", "正在查询接收器..."),
            ("Values", "信道 %1，信号强度 %2/255（%3）"),
            ("Strong", "强"),
            ("Fair", "中"),
            ("Weak", "弱"),
            ("Removed", "接收器已拔出，此窗口即将关闭。"),
            ("LegendLevel", "信号强度 (0 至 255)"),
            ("LegendChannel", "信道 (0 至 31)"),
            ("LegendTime", "最近 60 秒"),
            ("Close", "关闭"),
        ],
    },
    "Japanese": {
        "MultiPairForm.dll": [
            ("Title", "新しいデバイスのペアリング"),
            ("Instructions", "[開始] をクリックし、30 秒以内に新しいキーボードやマウスの接続ボタンを"
                             "押してください。"),
            ("Ready", "ペアリングの準備ができました。"),
            ("Waiting", "新しいデバイスの接続ボタンを押してください。残り %1 秒。"),
            ("Finished", "ペアリングが完了しました。ペアリングしたデバイス: %1 台"),
            ("Stopped", "ペアリングを停止しました。"),
            ("NoAnswer", "レシーバーが応答しません。接続を確認してから、[開始] をクリックしてもう一度"
                         "お試しください。"),
            ("DeviceList", "このセッションでペアリングしたデバイス:"),
            ("Keyboard", "キーボード"),
            ("Mouse", "マウス"),
            ("Identifier", "ID %1"),
            ("Start", "開始(&S)"),
            ("Stop", "停止(&T)"),
            ("Close", "閉じる"),
        ],
        "MessageConfirm.dll": [("Caption", "Tandrel")],
        "RSSIDisplay.dll": [
            ("Title", "無線信号 (RSSI)"),
            ("Waiting", "レシーバーに問い合わせています..."),
            ("Values", "チャンネル %1、信号強度 %2/255 (%3)"),
            ("Strong", "強"),
            ("Fair", "中"),
            ("Weak", "弱"),
            ("Removed", "レシーバーが取り外されました。このウィンドウを閉じます。"),
            ("LegendLevel", "信号強度 (0～255)"),
            ("LegendChannel", "チャンネル (0～31)"),
            ("LegendTime", "過去 60 秒間"),
            ("Close", "閉じる"),
        ],
    },
    "Korean": {
        "MultiPairForm.dll": [
            ("Title", "새 장치 페어링"),
            ("Instructions", "[시작]을 누른 다음 30초 안에 새 키보드나 마우스의 연결 버튼을 누르세요."),
            ("Ready", "페어링할 준비가 되었습니다."),
            ("Waiting", "새 장치마다 연결 버튼을 누르세요. %1초 남았습니다."),
            ("Finished", "페어링이 완료되었습니다. 페어링된 장치: %1개"),
            ("Stopped", "페어링을 중지했습니다."),
            ("NoAnswer", "수신기가 응답하지 않습니다. 수신기가 연결되어 있는지 확인한 다음 [시작]을 "
                         "눌러 다시 시도하세요."),
            ("DeviceList", "이번 세션에서 페어링된 장치:"),
            ("Keyboard", "키보드"),
            ("Mouse", "마우스"),
            ("Identifier", "ID %1"),
            ("Start", "시작(&S)"),
            ("Stop", "중지(&T)"),
            ("Close", "닫기"),
        ],
        "MessageConfirm.dll": [("Caption", "Tandrel")],
        "RSSIDisplay.dll": [
            ("Title", "무선 신호 (RSSI)"),
            ("Waiting", "수신기에 요청하는 중..."),
            ("Values", "채널 %1, 신호 세기 %2/255 (%3)"),
            ("Strong", "강함"),
            ("Fair", "보통"),
            ("Weak", "약함"),
            ("Removed", "수신기가 제거되었습니다. 이 창을 닫습니다."),
            ("LegendLevel", "신호 세기 (0~255)"),
            ("LegendChannel", "채널 (0~31)"),
            ("LegendTime", "최근 60초"),
            ("Close", "닫기"),
        ],
    },
}


# Room of the modules' controls that show these texts (outside/modules/*.cpp), as width in pixels
# and lines, in the system's message font (taken as 12 pixels). Keys not listed (the message box
# caption) have room enough.
_STATUS = (396, 2)  # the pairing window's two-line text boxes
MODULE_ROOM = {
    "MultiPairForm.dll": {
        "Title": (340, 1), "Instructions": _STATUS, "Ready": _STATUS, "Waiting": _STATUS,
        "Finished": _STATUS, "Stopped": _STATUS, "NoAnswer": _STATUS, "DeviceList": (396, 1),
        "Keyboard": (110, 1), "Mouse": (110, 1), "Identifier": (250, 1),
        "Start": (88, 1), "Stop": (88, 1), "Close": (88, 1),
    },
    "RSSIDisplay.dll": {
        "Title": (340, 1), "Waiting": (396, 1), "Values": (396, 1), "Removed": (396, 1),
        "LegendLevel": (384, 1), "LegendChannel": (384, 1), "LegendTime": (384, 1),
        "Close": (88, 1),
    },
}
MODULE_FONT = 12


def placeholders(text):
    return sorted(re.findall(r"%[0-9]+", text))


def shown(texts, section, key, text):
    """The text as the module shows it at its widest: placeholders filled, access keys gone."""
    if (section, key) == ("RSSIDisplay.dll", "Values"):
        text = text.replace("%3", max((texts[k] for k in ("Strong", "Fair", "Weak")), key=len))
    text = re.sub(r"%[0-9]+", "FFFFF" if key == "Identifier" else "255", text)
    return text.replace("&&", "\0").replace("&", "").replace("\0", "&")


def check_module_texts(language):
    english = MODULE_TEXTS["English"]
    texts = MODULE_TEXTS[language]
    if texts.keys() != english.keys():
        sys.exit(f"{language}: module sections differ from English")
    for section, entries in texts.items():
        mine, theirs = dict(entries), dict(english[section])
        if mine.keys() != theirs.keys() or len(mine) != len(entries):
            sys.exit(f"{language}: the keys of [{section}] differ from English")
        for key, text in entries:
            if placeholders(text) != placeholders(theirs[key]):
                sys.exit(f"{language}: [{section}] {key} has other placeholders than English")
            if key in MODULE_ROOM.get(section, {}):
                width, most = MODULE_ROOM[section][key]
                if line_count(shown(mine, section, key, text), width, MODULE_FONT, False) > most:
                    sys.exit(f"{language}: [{section}] {key} takes more than {most} line(s) of "
                             f"{width} pixels")


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


def line_count(text, width, size, bold):
    lines = 0
    for part in text.split("|"):
        # Word wrap: count the lines the part takes at the given width.
        lines += max(1, -(-int(sum(char_width(c, size, bold) for c in part)) // width))
    return lines


def check_fit(language, label, text):
    width, height, size, bold = BOXES[label]
    line_height = size + 2
    lines = line_count(text, width, size, bold)
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
    # For the translator who opens the installed file; ASCII, so English stays an ASCII file.
    head = [
        "; Tandrel launcher texts. The file name is the language; a key missing here is taken from",
        "; English.txt. Save as UTF-16 LE with byte-order mark (plain ASCII may stay ASCII), lines",
        "; ending in CR LF. \\\\\\\\ breaks a line; & marks an access key (&& shows one &); keep",
        "; every %1, %2, %3. Guide: TRANSLATING.md. Check: tandrel-check.exe beside TandrelProgram.exe.",
    ]
    if WORDS.keys() != TEXTS.keys():
        sys.exit("button_words.py and the texts here name different languages")
    for language, (captions, hints, messages) in TEXTS.items():
        assert len(captions) == len(LABELS) and len(hints) == len(HINTS)
        assert len(messages) == len(MESSAGES)
        program = [*head, f"; {language}: the launcher's main window.", f"[{SECTION}]"]
        for label, caption in zip(LABELS, captions):
            check_fit(language, label, caption)
            program.append(f"{label}->Caption={value(caption)}")
        for label, hint in zip(HINTS, hints):
            program.append(f"{label}->Hint={value(hint)}")
        # Names are read without line-break tokens: a "|" or the token has no place in them.
        for button, name in names(language):
            assert "|" not in name and LINE_BREAK not in name, name
            program.append(f"{button}->AccessibleName={value(name)}")
        shared = [*head, f"; {language}: the receiver messages.", f"[{SECTION}]"]
        shared += [f"{key}={value(text)}" for key, text in zip(MESSAGES, messages)]
        check_module_texts(language)
        shared += module_lines(language)
        for folder, lines in ((program_dir, program), (shared_dir, shared)):
            with open(os.path.join(folder, language + ".txt"), "wb") as f:
                f.write(file_bytes(lines))


if __name__ == "__main__":
    main()
