// German string table (language index 2).
#include "lang/LanguageTable.h"

namespace {

constexpr char kTable[] = R"TABLE(
101	Öffnen
102	Aufnahme
103	OK
105	Drucken
106	Einstellungen
107	Bildgröße
108	Minimieren
109	Info
110	Zeit
111	Tempo
112	Frontkamera
113	Heckkamera
114	Beide Kameras
115	Vorherige Datei
116	Zurückspulen
117	Wiedergabe
118	Pause
119	Vorspulen
120	Nächste Datei
121	Normales Tempo
122	Normale Helligkeit
123	Helligkeit
124	Stumm
125	Lautstärke
126	Karte
128	Breite
129	Länge
130	Dateiliste
131	Alle
132	Ereignis
133	Normal
134	Parken
135	Nr.
136	Datum
137	Uhrzeit
138	Typ
143	Abbrechen
145	 wurde gespeichert.\nAufnahmeordner öffnen?
148	Dashcam-Einstellungen
149	Speicherkarte
150	Wählen Sie die Speicherkarte der Dashcam.
151	Karte
152	Formatieren
153	Aufprallempfindlichkeit
154	Wie stark ein Stoß sein muss, um eine Ereignisaufnahme zu starten.
155	Aus
156	Maximal
157	Sehr hoch
158	Hoch
159	Mittel
160	Niedrig
161	Sehr niedrig
163	Weitere Optionen
164	Bildrate
167	Auflösung
168	Video
169	Qualität
170	Hoch
171	Mittel
172	Niedrig
173	Kanäle
174	Front + Heck
175	Nur Front
176	Schaltet den Bildschirm nach der gewählten Zeit aus.
177	Parkstrom
178	Beendet die Aufnahme so lange nach dem Abstellen des Motors.
179	Ton
180	Tonaufnahme
181	Ton aufnehmen
182	Lautsprecher
183	Fahrzeugbatterie
184	12-V-Fahrzeug
185	24-V-Fahrzeug
186	Abschaltspannung
187	Datum und Uhrzeit
188	Uhr der Dashcam stellen
189	Viewer-Einstellungen
190	Aufnahmeordner
191	Standbilder werden in diesem Ordner gespeichert.
192	Ordner
193	Durchsuchen...
194	Sprungweite
195	Sekunden, die Zurück- und Vorspulen überspringen.
196	Standard
199	Auswählen
200	Videobilder
201	Bilder an der aktuellen Position
202	Frontkamera
203	Heckkamera
204	Standort
205	G-Sensor
206	G-Sensor-Werte
208	Lupe
209	Schließen
210	Bewegung
211	Heckkamera
212	Heckkamerabild spiegeln
213	Es ist keine Speicherkarte gewählt.\nNur die Viewer-Einstellungen werden gespeichert.
214	Immer an
215	1 Minute
216	3 Minuten
217	5 Minuten
220	10 Minuten
227	Letzte Ordner:
228	Parkmodus
229	Für dieses Modell nicht verfügbar.
230	Zeitraffer
232	Bewegungserkennung
234	Abschalten nach
235	Alle Daten auf der Speicherkarte werden gelöscht.\nKarte jetzt formatieren?
236	Stumm
237	Aufnahme, während das Fahrzeug parkt.
241	Empfindlichkeit
242	Fahrwarnungen
243	Aus
244	An
246	Modell
247	Wählen Sie das Modell Ihrer Dashcam.
248	Modell
251	Es wurden keine Aufnahmen gefunden.
254	Warnungen während der Fahrt.
255	Für dieses Modell nicht verfügbar.
256	Blitzer- und Spurwarnungen.
266	Die Aufnahme kann nicht abgespielt werden.
270	Aus
272	Aufnahme speichern
273	Willkommen
274	Öffnen Sie Aufnahmen mit der Schaltfläche Öffnen
276	Die Aufnahmen werden gelesen.
277	Formatieren wird auf diesem System nicht unterstützt.
278	Formatieren fehlgeschlagen
279	Die Speicherkarte wurde formatiert.
280	Das Formatierskript konnte nicht erstellt werden.
281	oder ziehen Sie Dateien und Ordner in das Fenster.
282	Unter Einstellungen richten Sie die Dashcam ein.
283	Die Wiedergabe beginnt mit der ersten Datei.
284	Bitte einen Moment warten.
285	Dateien werden geladen...
286	Auf dieser Karte gibt es keine Einstellungsdatei der Dashcam.
287	Dateiinformationen gibt es nur für eine Dashcam-Speicherkarte.
288	Es gibt keine Aufnahmen zum Anzeigen.
289	Die Speicherkarte wird formatiert. Bitte warten und die Karte nicht entfernen.
290	Die Dateien der Karte konnten nicht auf die Karte zurückgelegt werden. Sie liegen in diesem Ordner:\n%1
291	Den Datenträger %1 mit FAT32 und der Bezeichnung „%2“ formatieren?\nAlle Daten darauf werden gelöscht.
292	Die Speicherkarte ist nicht mehr erreichbar. Prüfen Sie, ob sie noch eingesteckt ist.
293	Dieser Desktop erlaubt keine Bildschirmaufnahme, daher kann die Lupe den Bildschirm nicht zeigen.
300	Sprache
301	Der Bericht konnte nicht gedruckt werden.
302	Es ist kein Drucker eingerichtet. Der Bericht kann stattdessen als PDF-Datei gespeichert werden.
320	Die Bilder dieser Aufnahme liegen in einem Format vor, das der Viewer nicht abspielen kann (%1).
340	Das System hat den Zugriff auf die Speicherkarte %1 verweigert. Zum Öffnen einer Karte ist die Erlaubnis eines Administrators dieses Computers nötig.
341	Die Speicherkarte %1 kann nicht geöffnet werden: %2
342	%1 gehört zum laufenden System oder wird verwendet und wird daher nicht formatiert.
360	Die Einstellungen konnten nicht in %1 gespeichert werden.\n%2
361	Die Einstellungen der Dashcam konnten nicht in %1 geschrieben werden.\n%2
362	Die Uhrzeit der Dashcam konnte nicht in %1 geschrieben werden.\n%2
363	Das Bild konnte nicht als %1 gespeichert werden.\n%2
364	Der Bericht konnte nicht als %1 gespeichert werden.\n%2
365	Die Aufnahme konnte nicht als %1 gespeichert werden.\n%2
366	Die Aufnahme kann nicht zum Abspielen vorbereitet werden: Der temporäre Ordner %1 ist voll.
367	Die Aufnahme kann nicht zum Abspielen vorbereitet werden: In den temporären Ordner %1 kann nicht geschrieben werden.\n%2
368	Der Datenträger ist voll.
369	Dort darf nicht geschrieben werden.
370	Der Datenträger ist schreibgeschützt.
371	Der Ordner existiert nicht.
372	Das System meldet: %1
373	Die beschädigte Datei kann nicht wiederhergestellt werden.
380	Start markieren
381	Ende markieren
382	Clip exportieren...
383	Beweispaket exportieren...
384	Clip exportieren
385	Beweispaket exportieren
386	Bereich
387	%1 bis %2 (%3 s)
388	Anordnung
389	Nebeneinander
390	Heckkamera in der Ecke
391	Eingeblendet
392	Geschwindigkeit
393	Position
394	Hoch
395	Standard
396	Speichern in
397	Exportieren
398	noch %1
399	Wird exportiert...
400	Gespeichert in %1
401	Der Export ist fehlgeschlagen: %1
402	Der Export wurde abgebrochen. Es wurde nichts gespeichert.
403	Markieren Sie zuerst Anfang und Ende des Bereichs: Tasten I und O, oder Start markieren und Ende markieren im Menü.
404	Dieser Bereich kann nicht exportiert werden: %1
405	%1 enthält bereits Dateien. Wählen Sie einen neuen oder leeren Ordner.
420	Zeitzone
421	Kamerauhr (UTC+9)
422	Geschwindigkeitseinheit
423	km/h
424	mph
425	Geschwindigkeit und Zeit
426	Geschwindigkeit
427	GPS-Zeit
428	Tasten und Maus
429	Taste oder Maus
430	Aktion
431	Wiedergabe oder Pause
432	Vorherige Aufnahme abspielen
433	Nächste Aufnahme abspielen
434	Lauter
435	Leiser
436	Ton aus oder an
437	Helligkeit zurücksetzen
438	Wiedergabegeschwindigkeit auf 1x
439	Fensteransicht wechseln
440	Aufnahmen öffnen
441	Diese Liste anzeigen
442	Viewer schließen
443	Diese Aufnahme abspielen
444	Zu dieser Stelle springen
445	Wiedergabemenü
446	Fenster maximieren oder wiederherstellen
447	Leertaste
448	Pfeil nach oben
449	Pfeil nach unten
450	Doppelklick auf eine Aufnahme der Liste
451	Klicken oder Ziehen auf der Zeitleiste
452	Rechtsklick auf das Bild
453	Doppelklick auf die obere Leiste
454	Strg+Pfeil nach rechts
455	Strg+Pfeil nach links
456	Zur nächsten Markierung (starke G-Kraft oder Ereignis)
457	Zur vorherigen Markierung
458	Klick auf eine Markierung der Zeitleiste
459	Zum markierten Moment springen
460	Markierungen der Zeitleiste
461	Horizontale G-Kraft ab
462	Langsamer: 8-, 4-, 2-, 1-, 1/2-, 1/4-, 1/8-fach
463	Schneller: 1/8- bis 8-fach (unter 1/2 und über 2 ohne Ton)
464	Nächstes Bild (bei Pause; gedrückt halten wiederholt)
465	Vorheriges Bild (bei Pause; gedrückt halten wiederholt)
470	Kartenfehler melden
)TABLE";

}  // namespace

TARVO_LANGUAGE_LIBRARY(kTable)
