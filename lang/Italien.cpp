// Italian string table (language index 7; the library keeps its historical file name).
#include "lang/LanguageTable.h"

namespace {

constexpr char kTable[] = R"TABLE(
101	Apri
102	Cattura
103	OK
105	Stampa
106	Impostazioni
107	Dimensione schermo
108	Riduci a icona
109	Informazioni
110	Tempo
111	Velocità
112	Telecamera anteriore
113	Telecamera posteriore
114	Entrambe le telecamere
115	File precedente
116	Riavvolgi
117	Riproduci
118	Pausa
119	Avanti veloce
120	File successivo
121	Velocità normale
122	Luminosità normale
123	Luminosità
124	Muto
125	Volume
126	Mappa
128	Lat
129	Long
130	Elenco file
131	Tutti
132	Evento
133	Normale
134	Parcheggio
135	N.
136	Data
137	Ora
138	Tipo
143	Annulla
145	 è stato salvato.\nAprire la cartella delle catture?
148	Impostazioni dashcam
149	Scheda di memoria
150	Scegliere la scheda di memoria della dashcam.
151	Scheda
152	Formatta
153	Sensibilità agli urti
154	Forza dell'urto che avvia una registrazione di evento.
155	Disattivato
156	Massima
157	Molto alta
158	Alta
159	Media
160	Bassa
161	Molto bassa
163	Altre opzioni
164	Frequenza fotogrammi
167	Risoluzione
168	Video
169	Qualità
170	Alta
171	Media
172	Bassa
173	Canali
174	Anteriore + posteriore
175	Solo anteriore
176	Spegne lo schermo dopo il tempo scelto.
177	Alimentazione in sosta
178	Ferma la registrazione dopo questo tempo a motore spento.
179	Audio
180	Registrazione audio
181	Registra l'audio
182	Volume altoparlante
183	Batteria del veicolo
184	Veicolo 12 V
185	Veicolo 24 V
186	Tensione di interruzione
187	Data e ora
188	Imposta l'orologio della dashcam
189	Impostazioni del visualizzatore
190	Cartella delle catture
191	Le catture vengono salvate in questa cartella.
192	Cartella
193	Sfoglia...
194	Intervallo di salto
195	Secondi saltati da riavvolgimento e avanti veloce.
196	Predefinito
199	Seleziona
200	Immagini video
201	Immagini alla posizione attuale
202	Telecamera anteriore
203	Telecamera posteriore
204	Posizione
205	Sensore G
206	Valori del sensore G
208	Lente
209	Chiudi
210	Movimento
211	Telecamera posteriore
212	Specchia l'immagine posteriore
213	Nessuna scheda di memoria selezionata.\nVerranno salvate solo le impostazioni del visualizzatore.
214	Sempre acceso
215	1 minuto
216	3 minuti
217	5 minuti
220	10 minuti
227	Cartelle recenti:
228	Modalità parcheggio
229	Non disponibile per questo modello.
230	Time-lapse
232	Rilevamento movimento
234	Spegnimento dopo
235	Tutti i dati della scheda di memoria verranno cancellati.\nFormattare la scheda ora?
236	Muto
237	Registrazione a veicolo parcheggiato.
241	Sensibilità
242	Avvisi di guida
243	Disattivato
244	Attivato
246	Modello
247	Scegliere il modello della dashcam.
248	Modello
251	Nessuna registrazione trovata.
254	Avvisi durante la guida.
255	Non disponibile per questo modello.
256	Avvisi autovelox e corsia.
266	Impossibile riprodurre la registrazione.
270	Disattivato
272	Salva registrazione
273	Benvenuto
274	Aprire le registrazioni con il pulsante Apri
276	Lettura delle registrazioni in corso.
277	La formattazione non è supportata su questo sistema.
278	Formattazione non riuscita
279	La scheda di memoria è stata formattata.
280	Impossibile creare lo script di formattazione.
281	oppure trascinare file e cartelle nella finestra.
282	In Impostazioni si configura la dashcam.
283	La riproduzione inizia dal primo file.
284	Attendere un momento.
285	Caricamento dei file...
286	Su questa scheda non c'è il file di impostazioni della dashcam.
287	Le informazioni sui file sono disponibili solo per una scheda di dashcam.
288	Non ci sono registrazioni da mostrare.
289	Formattazione della scheda di memoria in corso. Attendere senza rimuovere la scheda.
290	Non è stato possibile rimettere i file sulla scheda. Sono conservati in questa cartella:\n%1
291	Formattare il volume %1 in FAT32 con l'etichetta "%2"?\nTutti i dati verranno cancellati.
292	La scheda di memoria non è più raggiungibile. Verificare che sia ancora inserita.
293	Questo desktop non consente la cattura dello schermo, quindi la lente non può mostrarlo.
300	Lingua
301	Impossibile stampare il rapporto.
302	Nessuna stampante configurata. Il rapporto può essere salvato come file PDF.
320	Le immagini di questa registrazione sono in un formato che il visualizzatore non può riprodurre (%1).
340	Il sistema ha negato l'accesso alla scheda di memoria %1. Per aprire una scheda serve il permesso di un amministratore di questo computer.
341	Impossibile aprire la scheda di memoria %1: %2
342	%1 fa parte del sistema in esecuzione o è in uso, quindi non viene formattato.
360	Impossibile salvare le impostazioni in %1.\n%2
361	Impossibile scrivere le impostazioni della dashcam in %1.\n%2
362	Impossibile scrivere l'orologio della dashcam in %1.\n%2
363	Impossibile salvare l'immagine come %1.\n%2
364	Impossibile salvare il rapporto come %1.\n%2
365	Impossibile salvare la registrazione come %1.\n%2
366	Impossibile preparare la registrazione per la riproduzione: la cartella temporanea %1 è piena.
367	Impossibile preparare la registrazione per la riproduzione: non è possibile scrivere nella cartella temporanea %1.\n%2
368	Il disco è pieno.
369	Non è consentito scrivere lì.
370	Il disco è di sola lettura.
371	La cartella non esiste.
372	Il sistema segnala: %1
373	Impossibile recuperare il file danneggiato.
380	Segna inizio
381	Segna fine
382	Esporta clip...
383	Esporta pacchetto di prove...
384	Esporta clip
385	Esporta pacchetto di prove
386	Intervallo
387	da %1 a %2 (%3 s)
388	Disposizione
389	Affiancate
390	Telecamera posteriore in un angolo
391	Sovrimpresso
392	Velocità
393	Posizione
394	Alta
395	Standard
396	Salva in
397	Esporta
398	ancora %1
399	Esportazione in corso...
400	Salvato in %1
401	Esportazione non riuscita: %1
402	Esportazione annullata. Non è stato salvato nulla.
403	Segna prima l'inizio e la fine dell'intervallo: tasti I e O, oppure Segna inizio e Segna fine nel menu.
404	Questo intervallo non può essere esportato: %1
405	%1 contiene già dei file. Scegli una cartella nuova o vuota.
420	Fuso orario
421	Orologio della telecamera (UTC+9)
422	Unità di velocità
423	km/h
424	mph
425	Velocità e ora
426	Velocità
427	Ora GPS
428	Tasti e mouse
429	Tasto o mouse
430	Azione
431	Riproduci o metti in pausa
432	Riproduci la registrazione precedente
433	Riproduci la registrazione successiva
434	Alza il volume
435	Abbassa il volume
436	Disattiva o riattiva l'audio
437	Luminosità predefinita
438	Velocità di riproduzione a 1x
439	Cambia la disposizione della finestra
440	Apri le registrazioni
441	Mostra questo elenco
442	Chiudi il visualizzatore
443	Riproduci quella registrazione
444	Vai a quel momento
445	Menu di riproduzione
446	Ingrandisci o ripristina la finestra
447	Spazio
448	Freccia su
449	Freccia giù
450	Doppio clic su una registrazione dell'elenco
451	Clic o trascinamento sulla barra di avanzamento
452	Clic destro sull'immagine
453	Doppio clic sulla barra superiore
454	Ctrl+Freccia destra
455	Ctrl+Freccia sinistra
456	Vai al segno successivo (forte accelerazione o evento)
457	Vai al segno precedente
458	Clic su un segno della barra di avanzamento
459	Vai al momento segnato
460	Segni sulla barra di avanzamento
461	G orizzontale oltre
462	Più lento: 8, 4, 2, 1, 1/2, 1/4, 1/8 volte
463	Più veloce: da 1/8 a 8 volte (senza audio sotto 1/2 e sopra 2)
464	Fotogramma successivo (in pausa; tenere premuto per ripetere)
465	Fotogramma precedente (in pausa; tenere premuto per ripetere)
470	Segnala un errore della mappa
)TABLE";

}  // namespace

TARVO_LANGUAGE_LIBRARY(kTable)
